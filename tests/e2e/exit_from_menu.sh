#!/usr/bin/env bash
# A person starts the program, opens the File menu from the keyboard and
# chooses 終了: the program ends with exit code 1 after a normal close.
source "$(dirname "$0")/lib.sh"

qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_exit_from_menu "$win"
[ "$QV_STATUS" -eq 1 ] || qv_fail "exit code $QV_STATUS, expected 1"
echo "exit code 1 after File > Exit"
