#!/usr/bin/env bash
# A person opens File > Page Setup by keyboard, chooses 2 x 2 sheets on A3
# landscape and prints to a private CUPS server's cups-pdf queue: the PDF
# that arrives has the pages and page size the geometry predicts. After a
# restart the same choice is in force without touching the dialog.
source "$(dirname "$0")/lib.sh"

qv_start_cupsd
cups=$QV_CUPS
# A local page: the default start page is on the network.
qv_write_settings 1024 768 "file://$QV_FIXTURES/capture-corners.html"

# Prints with Ctrl+P and "印刷"; prints the spool file CUPS received.
print_poster() {
    local before
    before=$(qv_spooled | wc -l)
    xdotool key --clearmodifiers ctrl+p
    local id
    id=$(qv_wait_titled 印刷) || qv_fail "the print dialog did not appear"
    qv_focus "$id"
    xdotool key Return
    qv_wait_untitled 印刷 || qv_fail "the print dialog stayed open"
    id=$(qv_wait_titled 確認 300) || qv_fail "no end-of-job box: $(tail -5 "$cups/log/error_log")"
    qv_focus "$id"
    xdotool key Return
    qv_wait_untitled 確認 || qv_fail "the end-of-job box stayed open"
    qv_wait_spooled $((before + 1)) || qv_fail "CUPS received no new document"
}

check_pdf() {
    local info
    info=$(pdfinfo "$1") || qv_fail "not a PDF: $1"
    # 1024 x 768 on 2 x 2 sheets of 400 x 277 mm printable: the height
    # decides (739 x 554 mm), two sheets across and two down.
    echo "$info" | grep -q '^Pages: *4$' || qv_fail "expected 4 pages: $info"
    echo "$info" | grep -Eq '^Page size: *1190\.[0-9]+ x 841\.[0-9]+ pts' || qv_fail "expected A3 landscape: $info"
}

qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_focus "$win"
qv_open_menu f
xdotool key r
dialog=$(qv_wait_titled ページ設定) || qv_fail "the page setup dialog did not appear"
qv_focus "$dialog"
# The dialog takes the keys in the order typed: the paper one up (A3),
# landscape, fitted to 2 x 2 sheets, OK.
xdotool key alt+z Up alt+a alt+f Tab ctrl+a 2 Tab Tab ctrl+a 2 Return
qv_wait_untitled ページ設定 || qv_fail "the page setup dialog stayed open"
check_pdf "$(print_poster)"

qv_exit_from_menu "$win"
config=$XDG_CONFIG_HOME/Brackwater/Quorvane/Quorvane32.config
grep -q '<Papers><cx>2</cx><cy>2</cy></Papers>' "$config" || qv_fail "2 x 2 not kept: $(cat "$config")"
grep -Eq '<PrinterChoice><Printer>qvpdf</Printer><Media>iso_a3_297x420mm[a-z_]*</Media><Orientation>LANDSCAPE</Orientation>' \
    "$config" || qv_fail "A3 landscape not kept: $(cat "$config")"

# Started again, the program prints the same poster straight away.
qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear again"
qv_focus "$win"
check_pdf "$(print_poster)"
echo "A3 landscape, 2 x 2: four A3 landscape pages, kept across a restart"
