# Shared helpers of the end-to-end tests: start the real program with a fresh
# HOME under the X server of the test run and drive it with xdotool.
set -euo pipefail

QV_BIN=${1:?usage: $0 path/to/quorvane}
QV_TMP=$(mktemp -d /tmp/qv-e2e.XXXXXX)
export HOME=$QV_TMP/home XDG_CONFIG_HOME=$QV_TMP/home/.config
export LANG=ja_JP.UTF-8 NO_AT_BRIDGE=1
mkdir -p "$HOME"
QV_PID=""
QV_STATUS=""
# Helper processes a test starts; stopped at exit.
QV_HELPER_PIDS=""

qv_cleanup() {
    [ -n "$QV_PID" ] && kill "$QV_PID" 2>/dev/null || true
    for pid in $QV_HELPER_PIDS; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$QV_TMP"
}
trap qv_cleanup EXIT

qv_fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts the program in the background, with the arguments given.
qv_start() {
    "$QV_BIN" "$@" >"$QV_TMP/out.log" 2>&1 &
    QV_PID=$!
}

# Serves the test fixtures on a loopback port: sets QV_PORT and
# QV_SERVER_LOG (one line per request) and stops the server at exit.
qv_serve_fixtures() {
    QV_SERVER_LOG=$QV_TMP/server.log
    python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$QV_TEST_FIXTURES" >"$QV_SERVER_LOG" 2>&1 &
    local server_pid=$!
    trap 'kill "'"$server_pid"'" 2>/dev/null || true; qv_cleanup' EXIT
    QV_PORT=""
    for _ in $(seq 50); do
        QV_PORT=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$QV_SERVER_LOG" | head -n1)
        [ -n "$QV_PORT" ] && return 0
        sleep 0.1
    done
    qv_fail "the loopback server did not start: $(cat "$QV_SERVER_LOG")"
}

# Waits until the server has been asked $2 times (once by default) for a
# path that starts with $1.
qv_wait_request() {
    for _ in $(seq 100); do
        [ "$(grep -cF "GET $1" "$QV_SERVER_LOG")" -ge "${2:-1}" ] && return 0
        sleep 0.2
    done
    return 1
}

# Waits until a visible window whose name matches $1 exists; prints its id.
qv_wait_window() {
    local name=$1 tries=${2:-150} id
    for _ in $(seq "$tries"); do
        id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$QV_PID" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}

# Waits until the window with name $1 is gone.
qv_wait_no_window() {
    for _ in $(seq "${2:-100}"); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    return 1
}

qv_focus() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; sleep 0.3; }

# Waits for the program to end (at most $1 seconds) and sets QV_STATUS.
qv_wait_exit() {
    for _ in $(seq $(( ${1:-20} * 5 ))); do
        if ! kill -0 "$QV_PID" 2>/dev/null; then
            set +e; wait "$QV_PID"; QV_STATUS=$?; set -e
            QV_PID=""
            return 0
        fi
        sleep 0.2
    done
    return 1
}
