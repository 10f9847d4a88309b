#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Each GUI and
# end-to-end test starts an X server of its own (Xvfb) and the printing tests
# a private CUPS server, so the tests need neither a display nor services.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh"
cd "$top/build"
ctest --output-on-failure -j2 "$@"
