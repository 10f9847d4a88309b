#!/usr/bin/env bash
# A batch run prints to a CUPS queue (the private server's cups-pdf queue,
# its default): 1200 x 1500 pixels at 100 per inch on A4 with 10 mm margins
# (2244 x 3272 dots printable at 300 dpi) take 3600 x 4500 dots, 2 x 2
# sheets. CUPS receives one document of four A4 pages and cups-pdf makes
# the PDF of it; the run ends with status 0 once the job is handed over.
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
# cups-pdf writes the job's PDF into the server's own folder once CUPS has
# run the job to its end.
for _ in $(seq 300); do
    lpstat -W completed -o qvpdf 2>/dev/null | grep -q '^qvpdf-' && break
    sleep 0.2
done
lpstat -W completed -o qvpdf | grep -q '^qvpdf-' || qv_fail "the job did not complete: $(lpstat -o 2>&1)"
made=$(ls "$QV_CUPS"/pdf/*.pdf 2>/dev/null | head -n1 || true)
[ -n "$made" ] || qv_fail "cups-pdf wrote nothing into $QV_CUPS/pdf: $(tail -5 "$QV_CUPS/log/error_log")"
pdfinfo "$made" | grep -q '^Pages: *4$' || qv_fail "cups-pdf's PDF: $(pdfinfo "$made")"
echo "a batch --print: four A4 pages through the private CUPS queue"
