#!/usr/bin/env bash
# Batch runs of the real program from a script: --save and --print write
# exactly what was asked for, and every failure leaves its exit status, one
# message and no file behind.
source "$(dirname "$0")/lib.sh"
qv_serve_fixtures
page="http://127.0.0.1:$QV_PORT/capture-corners.html"
out=$QV_TMP/out
mkdir -p "$out"

# Nothing but the files named stays in the output folder (no temporary files).
expect_files() {
    [ "$(cd "$out" && ls -A | sort | tr '\n' ' ')" = "$1 " ] || qv_fail "$2: the folder holds $(ls -A "$out")"
}
pixel() { convert "$1" -format "%[pixel:p{$2}]" info:; }

# The kept area of a 5000 x 4000 page with trims left 4, top 6, right 8,
# bottom 2 is 4988 x 3992; the page's 10-pixel corner squares (red, blue,
# yellow, magenta on green) fall on the kept area's corners.
qv_run --save "$out/poster.png" --size 5000x4000 --trim 4,6,8,2 "$page"
qv_expect_status 0 "--save"
[ "$(identify -format '%w %h' "$out/poster.png")" = "4988 3992" ] || qv_fail "kept size $(identify "$out/poster.png")"
for check in "0,0 srgb(255,0,0)" "5,3 srgb(255,0,0)" "6,3 srgb(32,160,64)" "0,4 srgb(32,160,64)" "4987,0 srgb(0,0,255)" \
             "0,3991 srgb(255,255,0)" "4987,3991 srgb(255,0,255)" "2494,1996 srgb(32,160,64)"; do
    at=${check% *}
    [ "$(pixel "$out/poster.png" "$at")" = "${check#* }" ] || qv_fail "pixel $at is $(pixel "$out/poster.png" "$at")"
done
qv_run --save "$out/poster.tmp" --format jpeg --size 300x200 "$page"
qv_expect_status 0 "--format jpeg"
[ "$(identify -format '%m %w %h' "$out/poster.tmp")" = "JPEG 300 200" ] || qv_fail "not a JPEG: $(identify "$out/poster.tmp")"
rm "$out/poster.tmp"

# 1200 x 1500 pixels at 100 per inch on A4 with 10 mm margins (300 dots per
# inch; 2244 x 3272 dots printable) take 3600 x 4500 dots: 2 x 2 sheets.
qv_run --print --size 1200x1500 --dpi 100 --output "$out/poster.pdf" "$page"
qv_expect_status 0 "--print --output"
pdfinfo "$out/poster.pdf" | grep -q '^Pages: *4$' || qv_fail "pages: $(pdfinfo "$out/poster.pdf" | grep Pages)"
pdfinfo "$out/poster.pdf" | grep -q '(A4)' || qv_fail "not A4: $(pdfinfo "$out/poster.pdf" | grep 'Page size')"

# Failures keep the files that exist and add none.
echo old >"$out/poster.png"
qv_run --save "$out/poster.png" --size 500x400 "http://127.0.0.1:$QV_PORT/no-such-page.html"
qv_expect_status 3 "a missing page"
grep -q "404" "$QV_TMP/err" || qv_fail "the message does not name the answer: $(cat "$QV_TMP/err")"
closed=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
LANG=en_US.UTF-8 qv_run --save "$out/poster.png" --size 500x400 "http://127.0.0.1:$closed/"
qv_expect_status 3 "an unreachable URL"
grep -q "^quorvane: Failed to navigate: " "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"
[ "$(cat "$out/poster.png")" = old ] || qv_fail "a failed run touched the existing file"

# A server that takes the connection and never answers: --timeout ends the
# wait, and so does SIGTERM, with the load status and no file.
python3 -c 'import socket, sys, threading, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(8); s.settimeout(120)
print(s.getsockname()[1], flush=True)
held = []
while True:
    held.append(s.accept()[0]); print("accepted", flush=True)' >"$QV_TMP/silent.log" &
QV_HELPER_PIDS=$!
qv_wait_file "$QV_TMP/silent.log" || qv_fail "the silent server did not start"
silent="http://127.0.0.1:$(head -n1 "$QV_TMP/silent.log")/"
LANG=en_US.UTF-8 qv_run --save "$out/silent.png" --timeout 2 "$silent"
qv_expect_status 3 "a page that never loads"
grep -q "Gave up after 2 seconds" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"
accepted=$(grep -c accepted "$QV_TMP/silent.log" || true)
LANG=en_US.UTF-8 "$QV_BIN" --save "$out/silent.png" "$silent" 2>"$QV_TMP/err" &
QV_PID=$!
for _ in $(seq 150); do [ "$(grep -c accepted "$QV_TMP/silent.log")" -gt "$accepted" ] && break; sleep 0.2; done
[ "$(grep -c accepted "$QV_TMP/silent.log")" -gt "$accepted" ] || qv_fail "the run never connected to the silent server"
kill -TERM "$QV_PID"
qv_wait_exit 20 || qv_fail "SIGTERM did not end the run"
qv_expect_status 3 "SIGTERM while loading"
grep -q "The operation was aborted" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"

# A map one of whose tiles never arrives: the capture waits for it, and
# SIGTERM ends that wait with the capture's status, 4, and no file.
python3 "$QV_TEST_FIXTURES/tile_server.py" >"$QV_TMP/tiles.port" 2>"$QV_TMP/tiles.log" &
QV_HELPER_PIDS="$QV_HELPER_PIDS $!"
qv_wait_file "$QV_TMP/tiles.port" || qv_fail "the tile server did not start"
map="http://127.0.0.1:$(head -n1 "$QV_TMP/tiles.port")/map.html?cols=2&rows=2&size=100&hang=1"
LANG=en_US.UTF-8 "$QV_BIN" --save "$out/map.png" --timeout 120 "$map" 2>"$QV_TMP/err" &
QV_PID=$!
for _ in $(seq 150); do grep -qx hang "$QV_TMP/tiles.log" && break; sleep 0.2; done
grep -qx hang "$QV_TMP/tiles.log" || qv_fail "the run never asked for the tile that does not come"
kill -TERM "$QV_PID"
qv_wait_exit 30 || qv_fail "SIGTERM did not end the wait for the tiles"
qv_expect_status 4 "SIGTERM while waiting for the tiles"
grep -q "The operation was aborted" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"
[ ! -e "$out/map.png" ] || qv_fail "an interrupted capture wrote a file"

qv_run --print --dpi 100 --output "$out/missing/poster.pdf" "$page"
qv_expect_status 6 "a PDF into a missing folder"
qv_run --save "$out/missing/poster.png" "$page"
qv_expect_status 5 "an image into a missing folder"
grep -q "$out/missing/poster.png" "$QV_TMP/err" || qv_fail "the message does not name the file: $(cat "$QV_TMP/err")"
qv_run --print --paper A0 --output "$out/a0.pdf" "$page"
qv_expect_status 2 "a paper the destination does not have"
qv_run --save "$out/bad.png" --size 0x5 "$page"
qv_expect_status 2 "--size 0x5"
expect_files "poster.pdf poster.png" "failed runs"

# Without a display: one line that suggests xvfb-run.
set +e
env -u DISPLAY -u WAYLAND_DISPLAY "$QV_BIN" --save "$out/nodisplay.png" "$page" 2>"$QV_TMP/err"
QV_STATUS=$?
set -e
qv_expect_status 1 "no display"
[ "$(wc -l <"$QV_TMP/err")" -eq 1 ] && grep -q "xvfb-run" "$QV_TMP/err" || qv_fail "no-display message: $(cat "$QV_TMP/err")"
expect_files "poster.pdf poster.png" "no display"
# The window cannot start without a display either: status 1, not 0.
set +e
env -u DISPLAY -u WAYLAND_DISPLAY "$QV_BIN" "$page" 2>"$QV_TMP/err"
QV_STATUS=$?
set -e
qv_expect_status 1 "the window without a display"
grep -q "display" "$QV_TMP/err" || qv_fail "no-display message of the window: $(cat "$QV_TMP/err")"
# The printer choice of the page setup dialog, kept in the settings file
# (here the PDF destination with A3 landscape), serves a run that names no
# other printer: 1200 x 1500 pixels at 100 per inch on A3 landscape with
# 10 mm margins (4725 x 3272 dots printable) take 1 x 2 sheets.
qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_exit_from_menu "$win"
config=$XDG_CONFIG_HOME/Brackwater/Quorvane/Quorvane32.config
python3 - "$config" <<'PY'
import sys, xml.etree.ElementTree as ET
tree = ET.parse(sys.argv[1])
choice = ET.SubElement(tree.getroot(), "PrinterChoice")
for name, text in (("Printer", "PDF"), ("Media", "iso_a3_297x420mm"), ("Orientation", "LANDSCAPE"), ("Source", "")):
    ET.SubElement(choice, name).text = text
tree.write(sys.argv[1], encoding="utf-8", xml_declaration=True)
PY
cp "$config" "$QV_TMP/config.before"
qv_run --print --size 1200x1500 --dpi 100 --output "$out/a3.pdf" "$page"
qv_expect_status 0 "--print with a stored printer choice"
pdfinfo "$out/a3.pdf" | grep -q '^Pages: *2$' || qv_fail "pages: $(pdfinfo "$out/a3.pdf" | grep Pages)"
pdfinfo "$out/a3.pdf" | grep -q 'Page size: *1190.55 x 841.89' || qv_fail "not A3 landscape: $(pdfinfo "$out/a3.pdf" | grep 'Page size')"
cmp -s "$config" "$QV_TMP/config.before" || qv_fail "a batch run changed the settings file"
echo "batch runs wrote what was asked and failed cleanly"
