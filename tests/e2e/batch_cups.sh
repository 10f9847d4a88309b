#!/usr/bin/env bash
# A batch run prints to a CUPS queue (the private server's cups-pdf queue,
# its default): 1200 x 1500 pixels at 100 per inch on A4 with 10 mm margins
# (2244 x 3272 dots printable at 300 dpi) take 3600 x 4500 dots, 2 x 2
# sheets. The run ends with status 0 once the job is handed over, and CUPS
# has received one document of four A4 pages.
source "$(dirname "$0")/lib.sh"

qv_start_cupsd
qv_serve_fixtures
set +e
"$QV_BIN" --print --size 1200x1500 --dpi 100 "http://127.0.0.1:$QV_PORT/capture-corners.html" 2>"$QV_TMP/err"
status=$?
set -e
[ "$status" -eq 0 ] || qv_fail "status $status: $(cat "$QV_TMP/err")"
doc=$(qv_wait_spooled 1) || qv_fail "CUPS received no document: $(tail -5 "$QV_CUPS/log/error_log")"
info=$(pdfinfo "$doc") || qv_fail "CUPS received no PDF"
echo "$info" | grep -q '^Pages: *4$' || qv_fail "expected 4 pages: $info"
echo "$info" | grep -Eq '^Page size: *595\.[0-9]+ x 841\.[0-9]+ pts' || qv_fail "expected A4 portrait: $info"
echo "a batch --print: four A4 pages through the private CUPS queue"
