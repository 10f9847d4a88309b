#!/usr/bin/env bash
# A person prints a 1000 x 1000 page on 2 x 2 A4 sheets with File > Print to
# the private CUPS server's PDF queue. Worked from the geometry (A4 portrait,
# 10 mm margins: 190 x 277 mm printable; the area of 2 x 2 sheets is
# 380 x 554 mm, so the width decides at 0.38 mm a pixel): 2 sheets across and
# 380 / 277 -> 2 down, tiles of 1000 / 2 = 500 by 277 / 0.38 = 729 pixels;
# the lower sheets carry the last 271 rows, 103 mm high. The document CUPS
# received has those four pages, and every tile shows the part of the page
# it should, where it should.
source "$(dirname "$0")/lib.sh"

qv_start_cupsd
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
xdotool key Return
qv_wait_untitled 印刷 || qv_fail "the print dialog stayed open"
# The job runs at idle priority: on a busy machine it waits for spare time.
box=$(qv_wait_titled 確認 150) || qv_fail "no end-of-job box: $(cat "$QV_TMP/out.log")"
qv_focus "$box"
xdotool key Return
qv_wait_untitled 確認 || qv_fail "the end-of-job box stayed open"

pdf=$(qv_wait_spooled 1) || qv_fail "CUPS received no document: $(tail -5 "$QV_CUPS/log/error_log")"
info=$(pdfinfo "$pdf") || qv_fail "CUPS received no PDF"
echo "$info" | grep -q '^Pages: *4$' || qv_fail "expected 4 pages: $info"
echo "$info" | grep -Eq '^Page size: *595\.[0-9]+ x 841\.[0-9]+ pts' || qv_fail "expected A4 portrait: $info"
python3 "$(dirname "$0")/check_poster_pdf.py" "$pdf" 1000 1000 2 2 500 729 || qv_fail "the tiles are not where the geometry puts them"
qv_exit_from_menu "$win"
[ "$QV_STATUS" -eq 1 ] || qv_fail "exit code $QV_STATUS, expected 1"
echo "2 x 2 A4 sheets with tiles of 500 x 729 pixels, printed through CUPS"
