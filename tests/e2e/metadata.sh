#!/usr/bin/env bash
# The install metadata is valid where the validators are installed.
set -euo pipefail
data=$(cd "$(dirname "$0")/../../data" && pwd)
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$data/org.brackwater.Quorvane.desktop"
fi
if command -v appstream-util >/dev/null; then
    appstream-util validate-relax --nonet "$data/org.brackwater.Quorvane.metainfo.xml"
fi
if command -v groff >/dev/null; then
    # The manual page formats without a warning.
    warnings=$(groff -man -ww -z "$data/quorvane.1" 2>&1)
    [ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
fi
echo "metadata valid"
