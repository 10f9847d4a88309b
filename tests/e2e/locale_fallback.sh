#!/usr/bin/env bash
# The program runs in Japanese (LANG=ja_JP.UTF-8) on a machine that has the
# locale, and on one that lacks it, where the C library's UTF-8 locale stands
# in. Either way a dialog's Japanese title reaches X as UTF-8, in WM_NAME
# (which older tools and xdotool's name search read) as well as in
# _NET_WM_NAME.
source "$(dirname "$0")/lib.sh"

locale -a | grep -qx 'ja_JP\.utf8' ||
    { echo "SKIPPED: the locale ja_JP.UTF-8 is not generated (tools/install-deps.sh generates it)"; exit 77; }
# A machine without ja_JP.UTF-8: the C library looks for locales in a folder
# that holds C.UTF-8 alone.
without=$QV_TMP/locales
mkdir -p "$without"
ln -s /usr/lib/locale/C.utf8 "$without/C.utf8"
LOCPATH=$without python3 -c 'import locale; locale.setlocale(locale.LC_ALL, "")' 2>/dev/null &&
    qv_fail "ja_JP.UTF-8 is still found with LOCPATH=$without"

for machine in with without; do
    if [ $machine = without ]; then export LOCPATH=$without; fi
    qv_start
    unset LOCPATH
    win=$(qv_wait_window '^Quorvane$') || qv_fail "$machine the locale: no main window: $(cat "$QV_TMP/out.log")"
    qv_focus "$win"
    xdotool key --clearmodifiers ctrl+o
    dialog=$(qv_wait_titled 'URL を開く') || qv_fail "$machine the locale: Ctrl+O showed no dialog"
    name=$(LC_ALL=C.UTF-8 xprop -id "$dialog" WM_NAME)
    [[ $name == *'"URL を開く"' ]] || qv_fail "$machine the locale: WM_NAME is $name"
    qv_focus "$dialog"
    xdotool key Escape
    qv_wait_gone "$dialog" || qv_fail "$machine the locale: Escape did not close the dialog"
    qv_exit_from_menu "$win"
    [ "$QV_STATUS" -eq 1 ] || qv_fail "$machine the locale: exit code $QV_STATUS"
    echo "$machine ja_JP.UTF-8: the dialog's title reaches WM_NAME as UTF-8"
done
