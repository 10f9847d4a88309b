#!/usr/bin/env bash
# A person starts a poster print and closes the window while the job is
# still running. The program asks "印刷中です。中断しますか？": No keeps the
# window and the job; Yes stops the job and the program ends as after any
# close (exit code 1) with its settings file written. The job is held
# running by stopping the private CUPS server (SIGSTOP) while the print
# dialog is open, so the worker waits on it; the server goes on once the
# stop has been asked for.
source "$(dirname "$0")/lib.sh"

qv_start_cupsd
config=$XDG_CONFIG_HOME/Brackwater/Quorvane/Quorvane32.config
qv_grid_page
qv_write_settings 1000 1000 "$QV_GRID_URL" 2 2
qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_wait_grid_drawn
qv_focus "$win"
qv_open_menu f
xdotool key p
dialog=$(qv_wait_titled 印刷) || qv_fail "File > Print showed no print dialog"
qv_focus "$dialog"
kill -STOP "$QV_CUPSD_PID"
trap 'kill -CONT "$QV_CUPSD_PID" 2>/dev/null || true; qv_cleanup' EXIT
xdotool key Return
qv_wait_untitled 印刷 || qv_fail "the print dialog stayed open"

# No: the window stays and the job goes on.
qv_close_window "$win"
box=$(qv_wait_titled 確認) || qv_fail "closing during the job asked nothing"
qv_focus "$box"
xdotool key Escape
qv_wait_untitled 確認 || qv_fail "the question stayed open after No"
kill -0 "$QV_PID" 2>/dev/null || qv_fail "the program ended although the answer was No"
xdotool search --onlyvisible --name '^Quorvane$' | grep -qx "$win" || qv_fail "the main window went away after No"

# Yes: the job stops and the program ends.
rm -f "$config"
qv_close_window "$win"
box=$(qv_wait_titled 確認) || qv_fail "the second close asked nothing"
qv_focus "$box"
xdotool key Return
kill -CONT "$QV_CUPSD_PID"
qv_wait_exit 30 || qv_fail "the program did not end after Yes"
[ "$QV_STATUS" -eq 1 ] || qv_fail "exit code $QV_STATUS after closing, expected 1: $(cat "$QV_TMP/out.log")"
[ -f "$config" ] || qv_fail "no settings file was written"
xmllint --noout "$config" || qv_fail "the settings file is not well-formed"
grep -q '<Papers><cx>2</cx><cy>2</cy></Papers>' "$config" || qv_fail "the settings file lost the page setting"
grep -qF "<Url>$QV_GRID_URL</Url>" "$config" || qv_fail "the settings file lost the page"
# No complete poster reached the printer.
for pdf in $(qv_spooled); do
    pages=$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')
    [ "$pages" != 4 ] || qv_fail "the stopped job was printed in full"
done
echo "closing during a job: No kept it; Yes stopped it, wrote the settings and ended with 1"
