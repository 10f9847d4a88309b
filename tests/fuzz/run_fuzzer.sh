#!/usr/bin/env bash
# Runs a libFuzzer target as the test suite does: a fixed seed and number of
# inputs from the seed corpus into a fresh working corpus, so that every run
# (and every machine) explores the same inputs and a CI failure can be
# repeated with the same command.
#
#   run_fuzzer.sh fuzzer seed-corpus artifact-prefix libfuzzer-options...
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 fuzzer seed-corpus artifact-prefix options..." >&2; exit 2; }
fuzzer=$1 seeds=$2 artifacts=$3
shift 3
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
"$fuzzer" -artifact_prefix="$artifacts" "$@" "$corpus" "$seeds"
