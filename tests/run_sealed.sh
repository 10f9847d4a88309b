#!/usr/bin/env bash
# Runs one test process sealed from the machine it runs on, so that a test
# passes or fails the same way on every machine: a fresh HOME and XDG folders
# (settings file, WebKit's caches, GSettings and CUPS's per-user lpoptions all
# live there), a fixed language, no printer named by the environment, no route
# to the machine's CUPS server or session bus.
#
#   run_sealed.sh [--display] [--bus] command args...
#
# --display: the test drives an X server (pointer, keyboard, clipboard) and
#   gets an Xvfb server of its own: never the desktop of whoever runs it, and
#   no focus, pointer or clipboard shared with a test running beside it.
# --bus: the test gets a private session bus (the real program registers
#   itself there as the single instance).
set -euo pipefail

here=${BASH_SOURCE[0]%/*}
display=0 bus=0
while [ $# -gt 0 ]; do
    case $1 in
        --display) display=1; shift ;;
        --bus) bus=1; shift ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--display] [--bus] command args..." >&2; exit 2; }

listing=0
for arg in "$@"; do
    [ "$arg" = --gtest_list_tests ] && listing=1
done

# Few processes: on a busy machine each one costs more than the small tests.
tmp=${TMPDIR:-/tmp}/qv-test.$$.$RANDOM
export HOME=$tmp/home
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
export XDG_STATE_HOME=$HOME/.local/state XDG_RUNTIME_DIR=$tmp/runtime
# Without -p mkdir fails on anything that already exists.
mkdir -m 0700 "$tmp" "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$HOME/.local" "$XDG_DATA_HOME" \
    "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR" "$tmp/cups"

# Every process a test starts inherits these two: QV_TEST_TMP names this run
# of this script, QV_TEST_SOURCE the source tree whose tests started it (what
# tests/leftover_processes.sh looks for after the suite).
export QV_TEST_TMP=$tmp QV_TEST_SOURCE=$(cd "$here" && pwd -P)

# Processes whose environment holds QV_TEST_TMP=$tmp, other than this script.
marked_processes() {
    local file pid
    for file in $(grep -lzxF "QV_TEST_TMP=$tmp" /proc/[0-9]*/environ 2>/dev/null); do
        pid=${file#/proc/}; pid=${pid%/environ}
        [ "$pid" != $$ ] && kill -0 "$pid" 2>/dev/null && echo "$pid"
    done
    return 0
}

# Sends TERM to the processes $@ ("-pgid" for a group) and waits up to 5 s
# for them to go, then KILL.
end_processes() {
    local _
    kill -TERM "$@" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$@" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$@" 2>/dev/null || true
}

xvfb="" test_pid=""
# No process outlives the test: its process group, then whatever left the
# group (daemons, bus-activated services) but carries the mark; Xvfb last.
# The document portal, started on a test's private bus, mounts a folder there.
cleanup() {
    local status=$?
    trap '' TERM INT HUP
    # A failed test with a display shows what its X server said.
    if [ "$status" != 0 ] && [ -n "$xvfb" ]; then
        echo "--- Xvfb's log:" >&2
        cat "$tmp"/xvfb.*.log >&2 2>/dev/null || true
    fi
    if [ -n "$test_pid" ]; then end_processes -- "-$test_pid"; fi
    # Only tests with a display or a bus start processes that leave the
    # group; looking through every process costs the small tests too much.
    local pid left=""
    if [ $display = 1 ] || [ $bus = 1 ]; then
        for pid in $(marked_processes); do
            [ "$pid" = "$xvfb" ] || left="$left $pid"
        done
    fi
    if [ -n "$left" ]; then
        # shellcheck disable=SC2086
        end_processes $left
    fi
    if [ -n "$xvfb" ]; then
        # Only while it runs: the number of an X server that ended may be
        # another test's process by now.
        if kill -0 "$xvfb" 2>/dev/null && [ "$(ps -o ppid= -p "$xvfb" | tr -d ' ')" = $$ ]; then
            kill "$xvfb" 2>/dev/null || true
        fi
        wait "$xvfb" 2>/dev/null || true
    fi
    fusermount -uz "$tmp/runtime/doc" 2>/dev/null || true
    rm -rf "$tmp" 2>/dev/null || true
}
trap cleanup EXIT
# ctest ends a test that runs too long with a signal: clean up before going.
trap 'exit 143' TERM
trap 'exit 130' INT
trap 'exit 129' HUP

# Starts Xvfb on a display number drawn at random, which it writes, with a
# newline, once it accepts clients; sets DISPLAY. It ends with this script
# even when this script is killed (--pdeathsig). Not the lowest free number
# (-displayfd's own choice), which the next test takes again the moment the
# last one gave it up: once, under load, such a display let xdpyinfo in and
# was gone a second later.
start_xvfb() {
    local log=$tmp/xvfb.$1.log number="" _
    : >"$tmp/display"
    setpriv --pdeathsig TERM -- Xvfb ":$((1000 + (RANDOM * 32768 + RANDOM) % 30000))" -displayfd 3 \
        -screen 0 1920x1080x24 -nolisten tcp 3>"$tmp/display" 2>"$log" &
    xvfb=$!
    # Generous: a loaded machine may take seconds to start an X server.
    for _ in $(seq 600); do
        # read fails until the whole line, newline included, is there.
        if read -r number <"$tmp/display" && [ -n "$number" ]; then
            # Ready by its word; a client must get in too.
            xdpyinfo -display ":$number" >/dev/null 2>>"$log" && { export DISPLAY=:$number; return 0; }
            break
        fi
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.05
    done
    echo "Xvfb did not start (try $1): $(cat "$tmp/display")" >&2
    echo "--- Xvfb's log:" >&2
    cat "$log" >&2
    end_processes "$xvfb"
    wait "$xvfb" 2>/dev/null || true
    xvfb=""
    return 1
}

if [ $display = 1 ] && [ $listing = 0 ]; then
    command -v Xvfb >/dev/null || { echo "Xvfb is not installed (package xvfb): run tools/install-deps.sh" >&2; exit 1; }
    # An Xvfb that ends at once (its display number is taken) or lets no
    # client in is tried again on another number.
    start_xvfb 1 || start_xvfb 2 || start_xvfb 3 || exit 1
    unset XAUTHORITY
fi

# The interface language comes from LANG alone.
unset LANGUAGE ${!LC_@}
export LANG=ja_JP.UTF-8

# No printer or CUPS server from the machine: a test that prints starts its
# own server and points CUPS_SERVER at it.
unset LPDEST PRINTER CUPS_USER CUPS_ENCRYPTION
export CUPS_SERVER=$tmp/no-cups.sock CUPS_SERVERROOT=$tmp/cups

# GIO, GSettings and GTK without the desktop's services, theme or scaling.
export GIO_USE_VFS=local GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 GDK_BACKEND=x11
unset GTK_THEME GTK_MODULES GTK3_MODULES GDK_SCALE GDK_DPI_SCALE WAYLAND_DISPLAY SESSION_MANAGER
export DBUS_SESSION_BUS_ADDRESS=unix:path=$tmp/no-bus

export QV_TEST_FIXTURES=$here/fixtures QV_TEST_LIB=$here/e2e/lib.sh

if [ $bus = 1 ] && [ $listing = 0 ]; then
    unset DBUS_SESSION_BUS_ADDRESS
    set -- dbus-run-session -- "$@"
fi
# Not exec: the folder is removed when the test ends. With job control the
# test runs in a process group of its own, so that everything it starts is
# ended with it (and it keeps SIGINT, which a plain & would ignore).
set -m
"$@" &
test_pid=$!
set +m
set +e
wait "$test_pid"
status=$?
set -e
exit $status
