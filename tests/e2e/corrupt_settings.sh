#!/usr/bin/env bash
# A person starts the program over a corrupt settings file. Answering the
# question with Cancel ends the program (exit 0) and leaves the file as it was;
# answering OK starts with the defaults where reading failed, and closing the
# window writes a complete, valid file.
source "$(dirname "$0")/lib.sh"

folder=$XDG_CONFIG_HOME/Brackwater/Quorvane
file=$folder/Quorvane32.config
mkdir -p "$folder"
cat >"$file" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<QuorvaneSetting><Version>1.0.0.0</Version><Width>1500</Width><Height>12a</Height></QuorvaneSetting>
XML
cp "$file" "$QV_TMP/original"

# Waits for the settings question: the first visible window of the program.
wait_question() {
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --pid "$QV_PID" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

qv_start
box=$(wait_question) || qv_fail "no question about the corrupt file"
qv_focus "$box"
xdotool key Escape
qv_wait_exit 20 || qv_fail "the program did not end after Cancel"
[ "$QV_STATUS" -eq 0 ] || qv_fail "exit code $QV_STATUS after Cancel, expected 0"
cmp -s "$file" "$QV_TMP/original" || qv_fail "Cancel changed the settings file"
xdotool search --onlyvisible --name '^Quorvane$' >/dev/null 2>&1 && qv_fail "a main window appeared after Cancel"

qv_start
box=$(wait_question) || qv_fail "no question on the second start"
qv_focus "$box"
xdotool key Return
win=$(qv_wait_window '^Quorvane$') || qv_fail "the main window did not appear after OK"
qv_exit_from_menu "$win"
[ "$QV_STATUS" -eq 1 ] || qv_fail "exit code $QV_STATUS, expected 1"

xmllint --noout "$file" || qv_fail "the written file is not well-formed"
grep -q '<Width>1500</Width>' "$file" || qv_fail "the value read before the error was lost"
grep -q '<Height>768</Height>' "$file" || qv_fail "the unreadable height did not fall back to the default"
grep -q '<ReBarBandSettings><ReBarBandSetting>' "$file" || qv_fail "the file is incomplete"
grep -q '</QuorvaneSetting>' "$file" || qv_fail "the file is incomplete"
echo "Cancel kept the file; OK and close wrote a complete file"
