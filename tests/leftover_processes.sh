#!/usr/bin/env bash
# Runs after every other test: fails when a process started by a test of
# this source tree is still running (run_sealed.sh marks each one with
# QV_TEST_SOURCE in its environment), names it and ends it.
#
#   leftover_processes.sh tests-folder
set -euo pipefail
source_dir=$(cd "${1:?usage: $0 tests-folder}" && pwd -P)

leftovers() {
    local file pid
    for file in $(grep -lzxF "QV_TEST_SOURCE=$source_dir" /proc/[0-9]*/environ 2>/dev/null); do
        pid=${file#/proc/}; pid=${pid%/environ}
        [ "$pid" != $$ ] && kill -0 "$pid" 2>/dev/null && echo "$pid"
    done
    return 0
}

# A test's helpers may still be ending (a web process notices that its
# program has gone): they get a generous moment.
left=""
for _ in $(seq 150); do
    left=$(leftovers)
    [ -z "$left" ] && { echo "no process of the tests is left running"; exit 0; }
    sleep 0.1
done

echo "FAIL: processes started by the tests are still running:" >&2
for pid in $left; do
    echo "  $pid: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" \
        "($(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep '^QV_TEST_TMP=' || true))" >&2
done
# shellcheck disable=SC2086
kill -TERM $left 2>/dev/null || true
for _ in $(seq 50); do kill -0 $left 2>/dev/null || break; sleep 0.1; done
kill -KILL $left 2>/dev/null || true
exit 1
