#!/usr/bin/env bash
# A settings file with every number at its extreme (by hand or damaged): the
# program starts, Copy, Save and Print to the "PDF" destination either work
# or say in an error box why they cannot, nothing crashes, and the file is
# written back with every value in range.
source "$(dirname "$0")/lib.sh"

# No CUPS server: the built-in "PDF" destination is the printer.
export CUPS_SERVER=$QV_TMP/no-cups.sock
folder=$XDG_CONFIG_HOME/Brackwater/Quorvane
file=$folder/Quorvane32.config
mkdir -p "$folder"
MIN=-2147483648 MAX=2147483647

# $1 width, $2 height, $3 the left and top margins, $4 the sheets down;
# every other number at an extreme.
write_settings() {
    cat >"$file" <<XML
<?xml version="1.0" encoding="utf-8"?>
<QuorvaneSetting><Version>1.0.0.0</Version><Width>$1</Width><Height>$2</Height>
<ScrollX>$MAX</ScrollX><ScrollY>-1</ScrollY>
<Trim><left>$MIN</left><top>-1</top><right>0</right><bottom>$MIN</bottom></Trim>
<Url>file://$QV_FIXTURES/shell-page.html</Url><Urls/>
<PageSetting><FitType>FIT</FitType><Papers><cx>$MAX</cx><cy>$4</cy></Papers><Dpi>$MIN</Dpi>
<Margin><left>$3</left><top>$3</top><right>-1</right><bottom>$MIN</bottom></Margin></PageSetting>
<PrintSetting><Flags></Flags><PageFrom>$MIN</PageFrom><PageTo>$MAX</PageTo><Copies>$MAX</Copies></PrintSetting>
<MainFrameSetting><Maximized>false</Maximized>
<Rect><left>$MIN</left><top>$MIN</top><right>$MAX</right><bottom>$MAX</bottom></Rect>
<ShowDlgBar>true</ShowDlgBar><ShowToolBar>true</ShowToolBar><ShowStatusBar>true</ShowStatusBar>
<ReBarBandSettings><ReBarBandSetting><Id>FFFFFFFF</Id><Cx>FFFFFFFF</Cx><BreakLine>true</BreakLine></ReBarBandSetting>
<ReBarBandSetting><Id>0000EB02</Id><Cx>FFFFFFFF</Cx><BreakLine>false</BreakLine></ReBarBandSetting></ReBarBandSettings>
</MainFrameSetting></QuorvaneSetting>
XML
}
QV_FIXTURES=${QV_TEST_FIXTURES:?}

# Finds the window titled $1 and gives it the focus; a dialog may be
# replaced while it is being shown, so both are tried again for a while.
focus_dialog() {
    local id
    for _ in $(seq 25); do
        id=$(qv_wait_titled "$1" 30) || return 1
        if qv_try_focus "$id"; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Answers the error box that an action must bring up.
expect_error_box() {
    local box
    box=$(focus_dialog エラー) || qv_fail "$1: no error box (program alive: $(kill -0 "$QV_PID" 2>/dev/null && echo yes || echo no)) $(cat "$QV_TMP/out.log")"
    xdotool key Return
    qv_wait_untitled エラー || qv_fail "$1: the error box stayed"
}

# Types a path into the file dialog named $2 and saves. The dialog may still
# be completing the typed path when Return comes, as a person would see
# nothing happen and press it again.
save_as() {
    local dialog
    dialog=$(focus_dialog "$2") || qv_fail "no file dialog for $1"
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 "$1"
    for _ in $(seq 5); do
        sleep 0.5
        # The dialog may have closed meanwhile.
        xdotool key --window "$dialog" Return 2>/dev/null || true
        qv_wait_untitled "$2" 2 && return 0
    done
    qv_fail "the file dialog for $1 did not close"
}

start_main() {
    qv_start
    win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
    qv_focus "$win"
}

value() { xmllint --xpath "string($1)" "$file"; }

# Print refuses the poster in an error box: no print dialog, no file dialog,
# no job.
print_refused() {
    xdotool key --clearmodifiers ctrl+p
    expect_error_box "$1"
    ! qv_wait_titled 印刷 2 >/dev/null || qv_fail "$1: the print dialog appeared"
    ! qv_wait_titled 印刷結果を名前を付けて保存 0 >/dev/null || qv_fail "$1: the file dialog appeared"
}

# File > Exit ends the program, which writes the file back with every value
# in range.
exit_and_check_file() {
    qv_exit_from_menu "$win"
    [ "$QV_STATUS" -eq 1 ] || qv_fail "exit code $QV_STATUS, expected 1"
    xmllint --noout "$file" || qv_fail "the written file is not well-formed"
    for path in /QuorvaneSetting/ScrollX /QuorvaneSetting/ScrollY /QuorvaneSetting/Trim/left /QuorvaneSetting/Trim/top \
                /QuorvaneSetting/Trim/bottom /QuorvaneSetting/PageSetting/Margin/right /QuorvaneSetting/PageSetting/Margin/bottom \
                /QuorvaneSetting/PrintSetting/PageFrom; do
        [ "$(value "$path")" -ge 0 ] || qv_fail "$path is $(value "$path") after the run"
    done
    for path in /QuorvaneSetting/PageSetting/Papers/cy /QuorvaneSetting/PageSetting/Dpi; do
        [ "$(value "$path")" -ge 1 ] || qv_fail "$path is $(value "$path") after the run"
    done
    for side in left top right bottom; do
        v=$(value "/QuorvaneSetting/MainFrameSetting/Rect/$side")
        [ "$v" -ge -32767 ] && [ "$v" -le 32767 ] || qv_fail "the window rectangle's $side is $v"
    done
    for cx in $(xmllint --xpath '//ReBarBandSetting/Cx/text()' "$file"); do
        [ $((16#$cx)) -le 32767 ] || qv_fail "a band is $((16#$cx)) pixels wide"
    done
}

step() { echo "-- $*"; }

# 1. A browser size no view can hold: brought into 1..32767 as the file is
#    read, so Copy works, and written back in range.
write_settings 99999 -500 $MAX $MIN
start_main
step "run 1: Copy"
qv_open_menu e; xdotool key c
for _ in $(seq 100); do
    kill -0 "$QV_PID" || qv_fail "Copy ended the program"
    xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png && break
    sleep 0.2
done
xclip -selection clipboard -t TARGETS -o | grep -q image/png || qv_fail "Copy of a 32767 x 1 browser put no image on the clipboard"
exit_and_check_file
[ "$(value /QuorvaneSetting/Width)" = 32767 ] && [ "$(value /QuorvaneSetting/Height)" = 1 ] ||
    qv_fail "the browser size was written back as $(value /QuorvaneSetting/Width) x $(value /QuorvaneSetting/Height)"

# 2. A browser of 320 x 240: Copy and Save work; the margins leave no room on
#    the paper, which Print says before its dialog.
write_settings 320 240 $MAX $MIN
start_main
step "run 2: Copy"
qv_open_menu e; xdotool key c
for _ in $(seq 50); do
    kill -0 "$QV_PID" || qv_fail "Copy ended the program"
    xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png && break
    sleep 0.2
done
xclip -selection clipboard -t TARGETS -o | grep -q image/png || qv_fail "Copy put no image on the clipboard"
step "run 2: Save"
qv_open_menu f; xdotool key a
save_as "$QV_TMP/shot.jpg" 名前を付けて保存
qv_wait_file "$QV_TMP/shot.jpg" || qv_fail "Save wrote no file"
[ "$(od -An -tx1 -N2 "$QV_TMP/shot.jpg" | tr -d ' ')" = "ffd8" ] || qv_fail "Save wrote no JPEG"
step "run 2: Print"
print_refused "Print with no room on the paper"
exit_and_check_file
# The refused print changed no setting.
[ "$(value /QuorvaneSetting/PageSetting/Margin/left)" = "$MAX" ] || qv_fail "the left margin was changed"

# 3. No margins and 2147483647 x 2147483647 sheets, read as 1000 x 1000 (a
#    million sheets): more than one job may print, which Print says before
#    its dialog.
write_settings 320 240 0 $MAX
start_main
step "run 3: Print"
print_refused "Print of too many sheets"
exit_and_check_file
# The file's sheets were brought within the page setting limits on reading.
[ "$(value /QuorvaneSetting/PageSetting/Papers/cx)" = 1000 ] || qv_fail "the sheets across were not 1000"

# 4. No margins and 2147483647 sheets across, one down: the capture fits two
#    sheets, which print to the "PDF" destination (one copy, not the stored
#    2147483647).
write_settings 320 240 0 1
start_main
step "run 4: Print"
xdotool key --clearmodifiers ctrl+p
focus_dialog 印刷 >/dev/null || qv_fail "no print dialog"
xdotool key --clearmodifiers alt+c
xdotool key --clearmodifiers ctrl+a
xdotool type 1
xdotool key Return
save_as "$QV_TMP/poster.pdf" 印刷結果を名前を付けて保存
box=$(focus_dialog 確認) || qv_fail "no end-of-job box"
xdotool key Return
qv_wait_untitled 確認 || qv_fail "the end-of-job box stayed"
pdfinfo "$QV_TMP/poster.pdf" | grep -q '^Pages: *2$' || qv_fail "expected 2 pages: $(pdfinfo "$QV_TMP/poster.pdf" 2>&1)"
exit_and_check_file
[ "$(value /QuorvaneSetting/PrintSetting/Copies)" = 1 ] || qv_fail "the copies chosen were not kept"
echo "extreme settings: messages where nothing could be done, the file written back in range"
