#!/usr/bin/env bash
# Installs what is missing, builds and starts Quorvane.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh"
exec "$top/build/quorvane"
