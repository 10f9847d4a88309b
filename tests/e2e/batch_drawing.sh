#!/usr/bin/env bash
# Batch runs of pages that draw after their last resource: the capture holds
# what web workers, WebGL and timers draw, and --delay, --wait-for and
# --scale do what they say.
source "$(dirname "$0")/lib.sh"
qv_serve_fixtures
base="http://127.0.0.1:$QV_PORT"
out=$QV_TMP/out
mkdir -p "$out"

pixel() { convert "$1" -format "%[pixel:p{$2}]" info:; }

# WebGL drawn after a web worker's 1.5 s answer, with no network after the load.
qv_run --save "$out/webgl.png" --size 400x300 "$base/webgl-worker.html"
qv_expect_status 0 "the worker-drawn page"
[ "$(pixel "$out/webgl.png" 200,150)" = "srgb(0,128,255)" ] || qv_fail "WebGL not drawn: $(pixel "$out/webgl.png" 200,150)"

# A page that draws 2 s after its load on a timer: --delay and --wait-for.
qv_run --save "$out/delay.png" --size 300x200 --delay 2500 "$base/timer-drawn.html"
qv_expect_status 0 "--delay"
[ "$(pixel "$out/delay.png" 100,50)" = "srgb(0,160,64)" ] || qv_fail "--delay: $(pixel "$out/delay.png" 100,50)"
qv_run --save "$out/wait.png" --size 300x200 --wait-for 'window.done === true' "$base/timer-drawn.html"
qv_expect_status 0 "--wait-for"
[ "$(pixel "$out/wait.png" 100,50)" = "srgb(0,160,64)" ] || qv_fail "--wait-for: $(pixel "$out/wait.png" 100,50)"
# An expression that never becomes true: status 3 at --timeout, no file.
LANG=en_US.UTF-8 qv_run --save "$out/never.png" --size 300x200 --timeout 20 --wait-for 'window.never === 1' \
    "$base/timer-drawn.html"
qv_expect_status 3 "--wait-for never true"
grep -q "^quorvane: The page did not make window.never === 1 true within 20 seconds$" "$QV_TMP/err" ||
    qv_fail "message: $(cat "$QV_TMP/err")"
[ ! -e "$out/never.png" ] || qv_fail "a file was written"

# --scale 2: twice the pixels of the same layout; a 1-pixel CSS line is 2 wide.
qv_run --save "$out/scaled.png" --size 200x100 --trim 10,0,0,0 --scale 2 "$base/scale-line.html"
qv_expect_status 0 "--scale 2"
[ "$(identify -format '%w %h' "$out/scaled.png")" = "380 200" ] || qv_fail "scaled size $(identify "$out/scaled.png")"
# The line is at CSS x 50, 40 after the trim: bitmap columns 80 and 81.
[ "$(pixel "$out/scaled.png" 79,100)" = "srgb(255,255,255)" ] || qv_fail "column 79: $(pixel "$out/scaled.png" 79,100)"
[ "$(pixel "$out/scaled.png" 80,100)" = "srgb(0,0,0)" ] || qv_fail "column 80: $(pixel "$out/scaled.png" 80,100)"
[ "$(pixel "$out/scaled.png" 81,100)" = "srgb(0,0,0)" ] || qv_fail "column 81: $(pixel "$out/scaled.png" 81,100)"
[ "$(pixel "$out/scaled.png" 82,100)" = "srgb(255,255,255)" ] || qv_fail "column 82: $(pixel "$out/scaled.png" 82,100)"
echo PASS
