#!/usr/bin/env bash
# The desktop hands URLs to the program: `quorvane URL` starts it on that URL
# instead of the stored one, and a second `quorvane URL` while it runs opens
# the URL in the running window (one window, one process), which keeps it as
# the current and most recent URL.
[ -n "${QV_OWN_BUS:-}" ] || QV_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"
source "$(dirname "$0")/lib.sh"
qv_serve_fixtures
first="http://127.0.0.1:$QV_PORT/open-url-page.html?first"
second="http://127.0.0.1:$QV_PORT/open-url-page.html?second"
config=$XDG_CONFIG_HOME/Brackwater/Quorvane/Quorvane32.config

qv_start "$first"
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_wait_request "/open-url-page.html?first" || qv_fail "the start URL was not opened"

set +e
timeout 30 "$QV_BIN" "$second" >"$QV_TMP/second.log" 2>&1
status=$?
set -e
[ "$status" -eq 0 ] || qv_fail "the second start ended with $status: $(cat "$QV_TMP/second.log")"
qv_wait_request "/open-url-page.html?second" || qv_fail "the running window did not open the second URL"
windows=$(xdotool search --onlyvisible --name '^Quorvane$' | wc -l)
[ "$windows" -eq 1 ] || qv_fail "$windows main windows"

qv_exit_from_menu "$win"
python3 - "$config" "$first" "$second" <<'PY' || qv_fail "stored URLs are wrong"
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
urls = [e.text for e in root.findall("./Urls/Url")]
assert root.findtext("./Url") == sys.argv[3], root.findtext("./Url")
assert urls[:2] == [sys.argv[3], sys.argv[2]], urls
PY
echo "the second start opened its URL in the running window"
