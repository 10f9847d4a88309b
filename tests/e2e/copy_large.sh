#!/usr/bin/env bash
# A person copies an 8000 x 6000 page with Edit > Copy. Another program
# (xclip) reads the clipboard's image/png and image/bmp: both are far larger
# than one X request, so they come through the selection's incremental
# transfer (INCR), and both decode to the page's pixels exactly.
source "$(dirname "$0")/lib.sh"
here=$(cd "$(dirname "$0")" && pwd)

width=8000 height=6000
qv_grid_page
qv_write_settings $width $height "$QV_GRID_URL"
qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_wait_grid_drawn
qv_focus "$win"
qv_open_menu e
xdotool key c

# The clipboard offers the image once the capture is done.
offered=""
for _ in $(seq 200); do
    offered=$(timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null || true)
    grep -qx image/png <<<"$offered" && grep -qx image/bmp <<<"$offered" && break
    kill -0 "$QV_PID" 2>/dev/null || qv_fail "the program ended: $(cat "$QV_TMP/out.log")"
    sleep 0.2
done
grep -qx image/png <<<"$offered" || qv_fail "the clipboard offers no image/png: $offered $(cat "$QV_TMP/out.log")"
grep -qx image/bmp <<<"$offered" || qv_fail "the clipboard offers no image/bmp: $offered"

for type in png bmp; do
    timeout 40 xclip -selection clipboard -t image/$type -o >"$QV_TMP/clip.$type" ||
        qv_fail "xclip could not read image/$type"
    echo "image/$type: $(stat -c %s "$QV_TMP/clip.$type") bytes"
    python3 "$here/check_grid_image.py" "$QV_TMP/clip.$type" $width $height ||
        qv_fail "the clipboard's image/$type does not show the page"
    rm "$QV_TMP/clip.$type"
done

qv_exit_from_menu "$win"
echo "an 8000 x 6000 copy read back as PNG and BMP, equal to the page"
