#!/usr/bin/env bash
# A person starts the program, opens the File menu from the keyboard and
# chooses 終了: the program ends with exit code 1 after a normal close.
source "$(dirname "$0")/lib.sh"

qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_focus "$win"
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key x
qv_wait_exit 20 || qv_fail "the program did not end after File > Exit"
[ "$QV_STATUS" -eq 1 ] || qv_fail "exit code $QV_STATUS, expected 1"
echo "exit code 1 after File > Exit"
