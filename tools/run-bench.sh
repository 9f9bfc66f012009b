#!/usr/bin/env bash
# Builds everything and runs one benchmark program under Wine in a fresh test bed; it prints its figures.
#   tools/run-bench.sh [-B build-dir] NAME [args...]    (NAME as in vn_bench, e.g. osd_bench)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
if [ "${1:-}" = "-B" ]; then BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2; fi
NAME="${1:?usage: $0 [-B build-dir] NAME [args...]}"; shift
source "$ROOT/tools/build.sh"
source "$ROOT/tools/wine-bed.sh"
trap wine_bed_stop EXIT
wine_bed_start
cd "$TEST_DIR/bench"
"$ROOT/tools/wine-run" "./$NAME.exe" "$@"
