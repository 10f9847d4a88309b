#!/usr/bin/env bash
# A batch run prints to a CUPS queue (the private server's cups-pdf queue,
# its default): 1200 x 1500 pixels at 100 per inch on A4 with 10 mm margins
# (2244 x 3272 dots printable at 300 dpi) take 3600 x 4500 dots, 2 x 2
# sheets. The run ends with status 0 once the job is handed over, and CUPS
# has received one document of four A4 pages. Then SIGTERM while the
# document is stuck on its way to CUPS.
source "$(dirname "$0")/lib.sh"

qv_start_cupsd
qv_serve_fixtures
set +e
"$QV_BIN" --print --size 1200x1500 --dpi 100 "http://127.0.0.1:$QV_PORT/capture-corners.html" 2>"$QV_TMP/err"
status=$?
set -e
[ "$status" -eq 0 ] || qv_fail "status $status: $(cat "$QV_TMP/err")"
doc=$(qv_wait_spooled 1) || qv_fail "CUPS received no document: $(grep -i "cancel\\|job 2\\|\\[Job 2\\]" "$QV_CUPS/log/error_log" | tail -30)"
info=$(pdfinfo "$doc") || qv_fail "CUPS received no PDF"
echo "$info" | grep -q '^Pages: *4$' || qv_fail "expected 4 pages: $info"
echo "$info" | grep -Eq '^Page size: *595\.[0-9]+ x 841\.[0-9]+ pts' || qv_fail "expected A4 portrait: $info"
echo "a batch --print: four A4 pages through the private CUPS queue"

# SIGTERM while the job's document is stuck on its way to CUPS: a proxy in
# front of the private cupsd holds the document's request unanswered. The
# run ends with the print status and the interruption's message, and leaves
# no job behind in the queue.
python3 "$QV_TEST_SOURCE/e2e/stall_proxy.py" "$QV_TMP/stall.sock" "$QV_CUPS/cups.sock" >"$QV_TMP/stall.log" &
QV_HELPER_PIDS="$QV_HELPER_PIDS $!"
qv_wait_file "$QV_TMP/stall.log" || qv_fail "the stalling proxy did not start"
CUPS_SERVER=$QV_TMP/stall.sock LANG=en_US.UTF-8 "$QV_BIN" --print --size 1200x1500 --dpi 100 \
    "http://127.0.0.1:$QV_PORT/capture-corners.html" 2>"$QV_TMP/err" &
QV_PID=$!
for _ in $(seq 300); do grep -qx stalled "$QV_TMP/stall.log" && break; sleep 0.2; done
grep -qx stalled "$QV_TMP/stall.log" || qv_fail "the run never sent its document: $(cat "$QV_TMP/err")"
kill -TERM "$QV_PID"
started=$(date +%s)
qv_wait_exit 20 || qv_fail "SIGTERM did not end a run whose job is stuck in CUPS within 20 s"
echo "SIGTERM ended the stuck job's run after $(($(date +%s) - started)) s"
[ "$QV_STATUS" -eq 6 ] || qv_fail "status $QV_STATUS after SIGTERM while printing: $(cat "$QV_TMP/err")"
grep -q "The operation was aborted" "$QV_TMP/err" || qv_fail "message: $(cat "$QV_TMP/err")"
# The first run's job may still be with cups-pdf; the second's is cancelled.
for _ in $(seq 50); do
    queued=$(lpstat -o 2>&1) || qv_fail "lpstat failed: $queued"
    echo "$queued" | grep -q '^qvpdf-2 ' || break
    sleep 0.2
done
! echo "$queued" | grep -q '^qvpdf-2 ' || qv_fail "the interrupted job is still queued: $queued $(cat $QV_TMP/err)"
