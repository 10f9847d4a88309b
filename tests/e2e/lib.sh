# Shared helpers of the end-to-end tests: start the real program with a fresh
# HOME under the X server of the test run and drive it with xdotool.
set -euo pipefail

QV_BIN=${1:?usage: $0 path/to/quorvane}
QV_TMP=$(mktemp -d /tmp/qv-e2e.XXXXXX)
# Pages are opened as file:// URLs, which need the absolute path.
QV_FIXTURES=$(cd "$QV_TEST_FIXTURES" && pwd)
export HOME=$QV_TMP/home XDG_CONFIG_HOME=$QV_TMP/home/.config
export LANG=ja_JP.UTF-8 NO_AT_BRIDGE=1
mkdir -p "$HOME"
QV_PID=""
QV_STATUS=""
# Helper processes a test starts; stopped at exit.
QV_HELPER_PIDS=""

# True while process $1 is one this script started and has not ended. The
# number of a process that ended may by now belong to a process of another
# test (the machine's process numbers go round quickly under the suite).
qv_own_child() {
    local stat
    { read -r stat <"/proc/$1/stat"; } 2>/dev/null || return 1
    # Fields after the command name: state, parent.
    read -r -a stat <<<"${stat##*) }"
    [ "${stat[1]}" = "$$" ] && [ "${stat[0]}" != Z ]
}

qv_cleanup() {
    if [ -n "$QV_PID" ]; then
        if qv_own_child "$QV_PID"; then kill "$QV_PID" 2>/dev/null || true; fi
        # It writes its settings file as it ends.
        wait "$QV_PID" 2>/dev/null || true
    fi
    for pid in $QV_HELPER_PIDS; do
        if qv_own_child "$pid"; then kill "$pid" 2>/dev/null || true; fi
    done
    # A server still writing into its folder would keep it from going away.
    for pid in $QV_HELPER_PIDS; do wait "$pid" 2>/dev/null || true; done
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
    # Made here: the server's own redirection may come after the first read.
    : >"$QV_SERVER_LOG"
    python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$QV_TEST_FIXTURES" >"$QV_SERVER_LOG" 2>&1 &
    QV_HELPER_PIDS="$QV_HELPER_PIDS $!"
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

# Gives window $1 the keyboard focus and waits until X says it has it;
# false when it does not get it within 20 s (a window being replaced).
qv_try_focus() {
    local _
    for _ in $(seq 100); do
        xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null || true
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
        sleep 0.2
    done
    return 1
}
qv_focus() { qv_try_focus "$1" || qv_fail "window $1 did not get the keyboard focus"; }

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

# Starts a private cupsd on a unix socket under $QV_TMP with a cups-pdf queue
# "qvpdf" as its default, and points CUPS_SERVER at it; sets QV_CUPS (its
# folder: the spool keeps every document as the program sent it, and
# cups-pdf, configured there, writes into $QV_CUPS/pdf) and stops the server
# at exit. cupsd runs its backends as root only: without root, or
# without cupsd or cups-pdf, the test is skipped and says why.
qv_start_cupsd() {
    local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    [ "$(id -u)" = 0 ] || { echo "SKIPPED: printing through cupsd needs root"; exit 77; }
    [ -x /usr/sbin/cupsd ] || { echo "SKIPPED: cupsd is not installed (package cups)"; exit 77; }
    [ -e /usr/lib/cups/backend/cups-pdf ] && [ -e "$ppd" ] ||
        { echo "SKIPPED: cups-pdf is not installed (package printer-driver-cups-pdf)"; exit 77; }
    QV_CUPS=$QV_TMP/cups
    local sub
    for sub in "" /root /log /cache /state /spool /spool/tmp; do mkdir -p "$QV_CUPS$sub"; chmod 755 "$QV_CUPS$sub"; done
    chmod 1777 "$QV_CUPS/spool/tmp"
    bash "$QV_TEST_SOURCE/printing/private_cups_pdf.sh" "$QV_CUPS" || qv_fail "the private cups-pdf could not be set up"
    cat >"$QV_CUPS/root/cups-files.conf" <<CONF
ServerRoot $QV_CUPS/root
RequestRoot $QV_CUPS/spool
TempDir $QV_CUPS/spool/tmp
StateDir $QV_CUPS/state
CacheDir $QV_CUPS/cache
ServerBin $QV_CUPS/serverbin
DataDir /usr/share/cups
ErrorLog $QV_CUPS/log/error_log
FatalErrors none
Printcap
SystemGroup root
CONF
    cat >"$QV_CUPS/root/cupsd.conf" <<CONF
Listen $QV_CUPS/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
PreserveJobFiles Yes
DefaultPaperSize A4
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
    /usr/sbin/cupsd -f -c "$QV_CUPS/root/cupsd.conf" -s "$QV_CUPS/root/cups-files.conf" &
    QV_CUPSD_PID=$!
    QV_HELPER_PIDS="$QV_HELPER_PIDS $QV_CUPSD_PID"
    local _
    for _ in $(seq 75); do [ -S "$QV_CUPS/cups.sock" ] && break; sleep 0.2; done
    [ -S "$QV_CUPS/cups.sock" ] || qv_fail "cupsd did not start: $(cat "$QV_CUPS/log/error_log" 2>/dev/null)"
    export CUPS_SERVER=$QV_CUPS/cups.sock
    lpadmin -p qvpdf -E -v cups-pdf:/ -P "$ppd" && lpadmin -d qvpdf || qv_fail "lpadmin could not add the queue"
}

# The documents the private cupsd has received, oldest first.
qv_spooled() { ls -tr "$QV_CUPS"/spool/d*-001 2>/dev/null || true; }

# Waits until the private cupsd holds $1 documents; prints the newest.
qv_wait_spooled() {
    local _
    for _ in $(seq 100); do
        [ "$(qv_spooled | wc -l)" -ge "$1" ] && { qv_spooled | tail -n1; return 0; }
        sleep 0.2
    done
    return 1
}

# Visible windows of the program other than its main window $1.
qv_other_windows() {
    xdotool search --all --onlyvisible --pid "$QV_PID" 2>/dev/null | grep -vx "$1" || true
}

# Waits (at most $2 seconds, 20 by default) for a visible window of the
# program titled exactly $1 and prints its id. Japanese titles are read with
# xprop in a UTF-8 locale: xdotool's name search goes through the C
# library's locale.
qv_wait_titled() {
    local w _ tries=$(( ${2:-20} * 5 ))
    [ "$tries" -ge 1 ] || tries=1
    for _ in $(seq "$tries"); do
        for w in $(xdotool search --all --onlyvisible --pid "$QV_PID" 2>/dev/null); do
            [ "$(LC_ALL=C.UTF-8 xprop -id "$w" -notype _NET_WM_NAME 2>/dev/null)" = "_NET_WM_NAME = \"$1\"" ] &&
                { echo "$w"; return 0; }
        done
        kill -0 "$QV_PID" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}

# Waits (at most $2 seconds) until no visible window of the program is
# titled $1.
qv_wait_untitled() {
    local _
    for _ in $(seq $(( ${2:-20} * 5 ))); do
        qv_wait_titled "$1" 0 >/dev/null || return 0
        sleep 0.2
    done
    return 1
}

# Asks window $1 to close as a window manager's close button does: a
# WM_DELETE_WINDOW message (Xvfb has no window manager to send it).
qv_close_window() {
    python3 - "$1" <<'PY'
import ctypes, ctypes.util, sys
x = ctypes.CDLL(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

class Event(ctypes.Union):
    _fields_ = [("client", ClientMessage), ("pad", ctypes.c_long * 24)]

display = x.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
event = Event()
event.client.type = 33  # ClientMessage
event.client.window = int(sys.argv[1])
event.client.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.client.format = 32
event.client.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
event.client.data[1] = 0  # CurrentTime
if not x.XSendEvent(display, int(sys.argv[1]), 0, 0, ctypes.byref(event)):
    sys.exit("the close message could not be sent")
x.XFlush(display)
x.XCloseDisplay(display)
PY
}

# Writes a complete settings file that starts the program on page $3 with a
# browser of $1 x $2 pixels, no trim, and a poster of $4 x $5 sheets (1 x 1
# by default) with 10 mm margins.
qv_write_settings() {
    local folder=$XDG_CONFIG_HOME/Brackwater/Quorvane
    mkdir -p "$folder"
    cat >"$folder/Quorvane32.config" <<XML
<?xml version="1.0" encoding="utf-8"?>
<QuorvaneSetting xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema"><Version>1.0.0.0</Version><Width>$1</Width><Height>$2</Height><ScrollX>0</ScrollX><ScrollY>0</ScrollY><Trim><left>0</left><top>0</top><right>0</right><bottom>0</bottom></Trim><Url>$3</Url><Urls/><PageSetting><FitType>FIT</FitType><Papers><cx>${4:-1}</cx><cy>${5:-1}</cy></Papers><Dpi>144</Dpi><Margin><left>1000</left><top>1000</top><right>1000</right><bottom>1000</bottom></Margin></PageSetting><PrintSetting><Flags/><PageFrom>1</PageFrom><PageTo>1</PageTo><Copies>1</Copies></PrintSetting><MainFrameSetting><Maximized>false</Maximized><Rect><left>0</left><top>0</top><right>1100</right><bottom>800</bottom></Rect><ShowDlgBar>true</ShowDlgBar><ShowToolBar>true</ShowToolBar><ShowStatusBar>true</ShowStatusBar><ReBarBandSettings><ReBarBandSetting><Id>0000EB00</Id><Cx>0000044C</Cx><BreakLine>false</BreakLine></ReBarBandSetting><ReBarBandSetting><Id>0000EB01</Id><Cx>0000044C</Cx><BreakLine>true</BreakLine></ReBarBandSetting><ReBarBandSetting><Id>0000EB02</Id><Cx>0000044A</Cx><BreakLine>true</BreakLine></ReBarBandSetting></ReBarBandSettings></MainFrameSetting></QuorvaneSetting>
XML
}

# Opens the main window's menu with Alt+$1 and waits until it is shown; the
# next key goes to the menu.
qv_open_menu() {
    local w _
    xdotool key --clearmodifiers "alt+$1"
    for _ in $(seq 50); do
        for w in $(xdotool search --all --onlyvisible --pid "$QV_PID" 2>/dev/null); do
            xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_POPUP_MENU && return 0
        done
        sleep 0.1
    done
    qv_fail "Alt+$1 did not open a menu"
}

# Ends the program with File > Exit from its main window $1 and waits (at
# most $2 seconds, 30 by default) until it has ended: sets QV_STATUS.
qv_exit_from_menu() {
    qv_focus "$1"
    qv_open_menu f
    xdotool key x
    qv_wait_exit "${2:-30}" || qv_fail "the program did not end after File > Exit"
}

# Waits until the window with id $1 is gone (at most $2 seconds, 20 by default).
qv_wait_gone() {
    local _
    for _ in $(seq $(( ${2:-20} * 5 ))); do
        xdotool search --all --onlyvisible --pid "$QV_PID" 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.2
    done
    return 1
}

# Waits until file $1 exists and is not empty (the program renames a
# complete file into place), at most $2 seconds (20 by default).
qv_wait_file() {
    local _
    for _ in $(seq $(( ${2:-20} * 5 ))); do
        [ -s "$1" ] && return 0
        sleep 0.2
    done
    return 1
}

# Serves the fixtures and sets QV_GRID_URL to the grid page, whose every
# pixel tells where it is (see check_grid_image.py).
qv_grid_page() {
    qv_serve_fixtures
    QV_GRID_URL="http://127.0.0.1:$QV_PORT/capture-grid.html"
}

# Waits until the grid page has drawn (for the $1th time): a person sees the
# page before printing, saving or copying it. Right after the start the
# load may not have begun yet, and a capture does not wait for a load that
# has not begun.
qv_wait_grid_drawn() {
    qv_wait_request "/open-url-loaded.txt?grid" "${1:-1}" || qv_fail "the grid page did not load: $(cat "$QV_SERVER_LOG")"
}

# Runs the program without waiting for it to be shown; sets QV_STATUS and
# keeps its standard error in $QV_TMP/err.
qv_run() {
    set +e
    "$QV_BIN" "$@" 2>"$QV_TMP/err"
    QV_STATUS=$?
    set -e
}

# Fails the test, saying what ($2), unless the last qv_run ended with status $1.
qv_expect_status() {
    [ "$QV_STATUS" -eq "$1" ] || qv_fail "$2: status $QV_STATUS, expected $1 ($(cat "$QV_TMP/err"))"
}
