#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. GUI and end-to-end
# tests get their own X server (xvfb-run); the printing tests start a private
# CUPS server themselves.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh"
cd "$top/build"
xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure -j2 "$@"
