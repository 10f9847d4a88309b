#!/usr/bin/env bash
# Batch runs into outputs that are not regular files (standard output, a
# FIFO, devices), local paths as URLs, pages that ask to be printed or never
# stop running a script, and options refused before anything is loaded.
source "$(dirname "$0")/lib.sh"
qv_serve_fixtures
page="http://127.0.0.1:$QV_PORT/capture-corners.html"
out=$QV_TMP/out
mkdir -p "$out"
export LANG=en_US.UTF-8
# No CUPS server: the built-in "PDF" destination is the printer.
export CUPS_SERVER=$QV_TMP/no-cups.sock

is_char_device() { [ -c "$1" ] && [ ! -L "$1" ]; }

# Standard output, with --format.
qv_run --save - --format png --size 300x200 "$page" >"$out/stdout.png"
qv_expect_status 0 "--save -"
[ "$(identify -format '%m %w %h' "$out/stdout.png")" = "PNG 300 200" ] || qv_fail "standard output: $(identify "$out/stdout.png" 2>&1)"
qv_run --save - "$page"
qv_expect_status 2 "--save - without --format"

# A FIFO is written in place; its reader (opened before the run) gets the
# whole PDF.
mkfifo "$out/poster.fifo"
python3 -c 'import os, sys, select
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_NONBLOCK)
print("ready", flush=True)
data = b""
while True:
    select.select([fd], [], [], 120)
    try:
        chunk = os.read(fd, 65536)
    except BlockingIOError:
        # A writer that has not written yet.
        continue
    if not chunk:
        # No writer yet, or the writer has closed it.
        if data:
            break
        select.select([], [], [], 0.05)
        continue
    data += chunk
open(sys.argv[2], "wb").write(data)
print("done", flush=True)' "$out/poster.fifo" "$QV_TMP/fifo.pdf" >"$QV_TMP/reader.log" &
QV_HELPER_PIDS="$QV_HELPER_PIDS $!"
for _ in $(seq 100); do grep -q ready "$QV_TMP/reader.log" && break; sleep 0.1; done
qv_run --print --size 1200x1500 --dpi 100 --output "$out/poster.fifo" "$page"
qv_expect_status 0 "--print --output FIFO"
for _ in $(seq 300); do grep -q done "$QV_TMP/reader.log" && break; sleep 0.1; done
pdfinfo "$QV_TMP/fifo.pdf" | grep -q '^Pages: *4$' || qv_fail "the FIFO's reader got: $(pdfinfo "$QV_TMP/fifo.pdf" 2>&1)"
[ -p "$out/poster.fifo" ] || qv_fail "the FIFO was replaced"

# A reader that never reads: --timeout still ends the run, with the write
# status and one message.
mkfifo "$out/stalled.fifo"
python3 -c 'import os, sys, time
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_NONBLOCK)
print("ready", flush=True)
time.sleep(600)' "$out/stalled.fifo" >"$QV_TMP/stalled.log" &
QV_HELPER_PIDS="$QV_HELPER_PIDS $!"
for _ in $(seq 100); do grep -q ready "$QV_TMP/stalled.log" && break; sleep 0.1; done
qv_run --save "$out/stalled.fifo" --format bmp --size 2000x2000 --timeout 30 "$page"
qv_expect_status 5 "a FIFO that is never read"
[ "$(grep -c '^quorvane:' "$QV_TMP/err")" -eq 1 ] && grep -q "Gave up after 30 seconds" "$QV_TMP/err" ||
    qv_fail "standard error: $(cat "$QV_TMP/err")"

# Devices stay devices: a copy of /dev/null takes the image, one of
# /dev/full refuses it with the write status. Without root, /dev/full itself
# (which an ordinary user cannot replace).
full=/dev/full
if [ "$(id -u)" -eq 0 ]; then
    mknod "$out/null" c 1 3
    mknod "$out/full" c 1 7
    full=$out/full
    qv_run --save "$out/null" --format png --size 300x200 "$page"
    qv_expect_status 0 "--save to a copy of /dev/null"
    is_char_device "$out/null" || qv_fail "the device was replaced: $(ls -l "$out/null")"
fi
qv_run --save "$full" --format png --size 300x200 "$page"
qv_expect_status 5 "--save to $full"
is_char_device "$full" || qv_fail "$full was replaced: $(ls -l "$full")"
[ "$(wc -l <"$QV_TMP/err")" -ge 1 ] && grep -q "No space left on device" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"

# A local path, relative to the folder the run starts in, is a file.
(cd "$QV_FIXTURES" && qv_run --save "$out/relative.png" --size 300x200 capture-corners.html && qv_expect_status 0 "a relative path")
[ "$(identify -format '%w %h' "$out/relative.png")" = "300 200" ] || qv_fail "the relative path gave no image"

# Refused before loading (the URL could not be loaded at all): a paper the
# printer does not have, and a poster of more than 1000 sheets.
closed=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
qv_run --print --paper nonsense --output "$out/x.pdf" "http://127.0.0.1:$closed/"
qv_expect_status 2 "--paper nonsense"
grep -q "nonsense" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"
qv_run --print --sheets 50x50 --output "$out/x.pdf" "http://127.0.0.1:$closed/"
qv_expect_status 2 "2500 sheets"
grep -q "1000" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"

# Reasons from the browser: a refused connection and an untrusted certificate.
qv_run --save "$out/x.png" "http://127.0.0.1:$closed/"
qv_expect_status 3 "a refused connection"
grep -q "^quorvane: Failed to navigate: http://127.0.0.1:$closed/ - .*[Rr]efused" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -days 2 -keyout "$QV_TMP/key.pem" -out "$QV_TMP/cert.pem" 2>/dev/null
python3 -c 'import http.server, ssl, sys
server = http.server.HTTPServer(("127.0.0.1", 0), http.server.SimpleHTTPRequestHandler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(sys.argv[1], sys.argv[2])
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()' "$QV_TMP/cert.pem" "$QV_TMP/key.pem" >"$QV_TMP/tls.log" 2>/dev/null &
QV_HELPER_PIDS="$QV_HELPER_PIDS $!"
for _ in $(seq 100); do [ -s "$QV_TMP/tls.log" ] && break; sleep 0.1; done
qv_run --save "$out/x.png" "https://127.0.0.1:$(head -n1 "$QV_TMP/tls.log")/"
qv_expect_status 3 "an untrusted certificate"
grep -q "certificate is not trusted" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"

# A page that asks to be printed is captured all the same, well within --timeout.
qv_run --save "$out/asked.png" --size 300x200 --timeout 120 "http://127.0.0.1:$QV_PORT/print-request.html"
qv_expect_status 0 "a page that calls window.print()"
[ "$(identify -format '%w %h' "$out/asked.png")" = "300 200" ] || qv_fail "no image of the page that asked to be printed"

# A page stuck in a script: --timeout ends the run with one message.
qv_run --save "$out/stuck.png" --timeout 5 "http://127.0.0.1:$QV_PORT/script-loop.html"
qv_expect_status 3 "a page stuck in a script"
[ "$(grep -c '^quorvane:' "$QV_TMP/err")" -eq 1 ] && ! grep -q ERROR "$QV_TMP/err" && grep -q "Gave up after 5 seconds" "$QV_TMP/err" ||
    qv_fail "standard error after the time-out: $(cat "$QV_TMP/err")"

[ -z "$(ls -A "$out" | grep '^\.')" ] || qv_fail "temporary files were left: $(ls -A "$out")"
echo "batch outputs: devices, FIFOs and standard output written in place; early refusals; one message"
