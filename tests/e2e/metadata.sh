#!/usr/bin/env bash
# The install metadata is valid. The validators come with tools/install-deps.sh:
# one that is missing fails the test instead of passing it unchecked.
set -euo pipefail
data=$(cd "$(dirname "$0")/../../data" && pwd)
missing=()
command -v desktop-file-validate >/dev/null || missing+=("desktop-file-utils (desktop-file-validate)")
command -v appstream-util >/dev/null || command -v appstreamcli >/dev/null ||
    missing+=("appstream-util or appstream (appstreamcli)")
command -v groff >/dev/null || missing+=("groff-base (groff)")
if [ ${#missing[@]} -gt 0 ]; then
    list=$(printf '%s, ' "${missing[@]}")
    echo "not installed: ${list%, }; run tools/install-deps.sh" >&2
    exit 1
fi
desktop-file-validate "$data/org.brackwater.Quorvane.desktop"
if command -v appstream-util >/dev/null; then
    appstream-util validate-relax --nonet "$data/org.brackwater.Quorvane.metainfo.xml"
else
    appstreamcli validate --no-net "$data/org.brackwater.Quorvane.metainfo.xml"
fi
# The manual page formats without a warning.
warnings=$(groff -man -ww -z "$data/quorvane.1" 2>&1)
[ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
echo "metadata valid"
