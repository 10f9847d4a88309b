#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Each GUI and
# end-to-end test starts an X server of its own (Xvfb) and the printing tests
# a private CUPS server, so the tests need neither a display nor services.
# Afterwards it says how many tests were skipped or did not run, and why.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh"
cd "$top/build"
junit=$top/build/Testing/junit.xml
rm -f "$junit"
set +e
ctest --output-on-failure -j2 --output-junit "$junit" "$@"
status=$?
set -e
python3 "$top/tools/test_summary.py" "$junit" || true
exit $status
