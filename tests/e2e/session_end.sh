#!/usr/bin/env bash
# The session ends while the program is open (log-out, shut-down, kill,
# Ctrl+C in a terminal): each of SIGTERM, SIGHUP and SIGINT closes the window
# as the user would, so the settings file is written and the program exits.
source "$(dirname "$0")/lib.sh"

file=$XDG_CONFIG_HOME/Brackwater/Quorvane/Quorvane32.config
for signal in TERM HUP INT; do
    rm -f "$file"
    qv_start
    qv_wait_window '^Quorvane$' >/dev/null || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
    kill -s "$signal" "$QV_PID"
    qv_wait_exit 30 || qv_fail "the program did not end after SIG$signal"
    [ "$QV_STATUS" -eq 1 ] || qv_fail "exit code $QV_STATUS after SIG$signal, expected 1: $(cat "$QV_TMP/out.log")"
    [ -f "$file" ] || qv_fail "SIG$signal did not write the settings file"
    xmllint --noout "$file" || qv_fail "the file written at SIG$signal is not well-formed"
    grep -q '<ReBarBandSettings><ReBarBandSetting>' "$file" || qv_fail "the bands were not stored at SIG$signal"
    echo "SIG$signal: settings written, exit code 1"
done
