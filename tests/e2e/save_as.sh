#!/usr/bin/env bash
# A person saves the page with File > Save As in each file type, choosing
# the type in the dialog's type list and typing a name without extension.
# Each file gets the type's extension, holds that format, and decodes to the
# page's pixels: exactly for PNG, TIFF and BMP, within JPEG's loss for JPEG.
source "$(dirname "$0")/lib.sh"
here=$(cd "$(dirname "$0")" && pwd)

width=600 height=400
qv_grid_page
qv_write_settings $width $height "$QV_GRID_URL"
out=$QV_TMP/out
mkdir -p "$out"
cd "$out"
qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_wait_grid_drawn

# Saves through the dialog with the type at position $1 of the list (0 is
# the first, JPEG) under the name $2, typed without extension.
save_as() {
    qv_focus "$win"
    qv_open_menu f
    xdotool key a
    local dialog
    dialog=$(qv_wait_titled 名前を付けて保存) || qv_fail "File > Save As showed no dialog"
    qv_focus "$dialog"
    # With the name empty, Save cannot take the focus: two steps back from
    # the name field are Cancel and the type list.
    xdotool key shift+Tab shift+Tab
    local _
    for _ in $(seq "$1"); do xdotool key Down; done
    # The dialog opens in the working folder, $out: the name alone names
    # the file there.
    xdotool key ctrl+l ctrl+a
    xdotool type --delay 20 "$2"
    # The name field ignores Enter while it is still completing what was
    # typed; Enter goes to the dialog (and nowhere else) until it closes.
    local tries
    for tries in $(seq 20); do
        xdotool key --window "$dialog" Return 2>/dev/null || true
        qv_wait_untitled 名前を付けて保存 1 && return 0
    done
    qv_fail "the save dialog stayed open for $2"
}

save_as 0 page-jpeg
save_as 1 page-png
save_as 2 page-tiff
save_as 3 page-bmp
for check in "page-jpeg.jpg JPEG --lossy" "page-png.png PNG" "page-tiff.tif TIFF" "page-bmp.bmp BMP3"; do
    set -- $check
    qv_wait_file "$out/$1" || qv_fail "$out/$1 was not written: $(ls -A "$out")"
    format=$(identify -format '%m' "$out/$1") || qv_fail "$1 cannot be read"
    [ "$format" = "$2" ] || qv_fail "$1 holds $format, expected $2"
    python3 "$here/check_grid_image.py" "$out/$1" $width $height ${3-} || qv_fail "$1 does not show the page"
done
[ "$(ls -A "$out" | sort | tr '\n' ' ')" = "page-bmp.bmp page-jpeg.jpg page-png.png page-tiff.tif " ] ||
    qv_fail "the folder holds $(ls -A "$out")"

qv_exit_from_menu "$win"
echo "Save As wrote JPEG, PNG, TIFF and BMP files of the page"
