#!/usr/bin/env bash
# A person presses Ctrl+O, types the address of a local page and presses
# Enter: the page loads, and after closing and starting the program again the
# address heads the recent URLs (and is the page shown at start).
source "$(dirname "$0")/lib.sh"

qv_serve_fixtures
url="http://127.0.0.1:$QV_PORT/open-url-page.html"
config=$XDG_CONFIG_HOME/Brackwater/Quorvane/Quorvane32.config

# Waits until the page has reported its load $1 times.
wait_loads() { qv_wait_request /open-url-loaded.txt "$1"; }

# The first recent URL and the start URL stored in the settings file.
stored() {
    python3 - "$config" <<'PY'
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
urls = [e.text or "" for e in root.findall("./Urls/Url")]
print(urls[0] if urls else "")
print(root.findtext("./Url") or "")
PY
}

qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear: $(cat "$QV_TMP/out.log")"
qv_focus "$win"
xdotool key --clearmodifiers ctrl+o
dialog=$(qv_wait_titled 'URL を開く') || qv_fail "Ctrl+O showed no open-URL dialog"
qv_focus "$dialog"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 30 "$url"
xdotool key Return
qv_wait_gone "$dialog" || qv_fail "Enter did not close the open-URL dialog"
wait_loads 1 || qv_fail "the page did not load"
qv_exit_from_menu "$win"

[ -f "$config" ] || qv_fail "no settings file was written"
mapfile -t first < <(stored)
[ "${first[0]}" = "$url" ] || qv_fail "recent URLs start with '${first[0]}', expected $url"
[ "${first[1]}" = "$url" ] || qv_fail "stored URL is '${first[1]}', expected $url"

qv_start
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear again"
wait_loads 2 || qv_fail "the stored URL was not opened at start"
qv_exit_from_menu "$win"
mapfile -t second < <(stored)
[ "${second[0]}" = "$url" ] || qv_fail "after a restart recent URLs start with '${second[0]}', expected $url"
echo "opened $url; it heads the recent URLs after a restart"
