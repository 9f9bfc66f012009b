#!/usr/bin/env bash
# Runs the 32-bit test programs under 32-bit Wine inside an emulated 32-bit Debian guest, for
# machines whose kernel runs no 32-bit code; prints each step's time and ends with CTest's summary.
#   tools/run-guest-tests.sh [-B build-dir] [-R ctest-regex] [--e2e VERSION...]
# Builds the guest image once (tools/guest-image.sh, cached outside the source tree) and the 32-bit
# test tree (<build-dir>/x86). Without -R it runs the service, installer and uninstaller tests;
# -R _tests runs every test program of the tree. --e2e runs the end-to-end run (tools/run-e2e.sh)
# with the shipped medium (<build-dir>/medium) on the Windows versions named, and then the tests
# only when -R names them. The guest runs programs about ten times slower, so every time limit of
# the tests is multiplied by VN_TIME_SCALE (default 10). VN_GUEST_TIMEOUT (seconds, default 3600)
# bounds the guest's whole run.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="$ROOT/build"
FILTER=""
VERSIONS=()
usage() { echo "usage: $0 [-B build-dir] [-R ctest-regex] [--e2e VERSION...]" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    -B) BUILD_DIR="$(mkdir -p "$2" && cd "$2" && pwd)"; shift 2 ;;
    -R) FILTER="$2"; shift 2 ;;
    --e2e) shift
      while [ $# -gt 0 ] && [[ "$1" =~ ^(win98|winme|nt40|win2k|winxp|win2003)$ ]]; do VERSIONS+=("$1"); shift; done
      [ ${#VERSIONS[@]} -gt 0 ] || usage ;;
    *) usage ;;
  esac
done
# The test programs asked for (all of the tree's for -R), or the default ones with the stand-ins
# the service's tests put beside it and every deliverable of the test tree, which they start; the
# end-to-end run's own helpers.
if [ -n "$FILTER" ]; then TARGETS=""
elif [ ${#VERSIONS[@]} -gt 0 ]; then TARGETS="e2e_step service_proof tryout"
else
  FILTER='^(service|setup|uninstall)_tests'
  TARGETS="service_tests setup_tests uninstall_tests service_usbkbd_double service_proof
    VnDaemon VNUtil VNOSD vnhooks VnUsbKbd TKCfg Krh3cpl setup VNSetup VNMEDIA VNUninst"
fi
source "$ROOT/tools/guest-vm.sh"
export VN_TEST_ARCH=x86 VN_TIME_SCALE="${VN_TIME_SCALE:-10}"
export VN_BUILD_TARGETS="${VN_BUILD_TARGETS-$TARGETS}"
start=$SECONDS

step "guest: image" "$ROOT/tools/guest-image.sh"
GUEST="$(guest_dir)"
step "guest: build the 32-bit files and test programs" source "$ROOT/tools/build.sh"

# The guest sees the sources and the build read-only at their own paths, and writes only into the
# test tree (CTest's records, the tests' output, screenshots); its job script and exit status go
# there too. Wine prefixes live on the guest's own disk.
shares=("$ROOT")
case "$BUILD_DIR/" in "$ROOT"/*) ;; *) shares+=("$BUILD_DIR") ;; esac
cat >"$TEST_DIR/job.sh" <<EOF
source "$ROOT/tools/guest-vm.sh"
export BUILD_DIR="$BUILD_DIR" BIN_DIR="$BIN_DIR" VN_TIME_SCALE="$VN_TIME_SCALE" LANG=C.UTF-8
export WINE_BED_TEMPLATE=/opt/vn-guest/wineprefix
status=0
if [ -n "$FILTER" ]; then
  (
    export WINE_BED_DIR=/var/tmp/vn-bed
    source "$ROOT/tools/wine-bed.sh"
    step "guest: Wine prefix and display" wine_bed_start
    cd "$TEST_DIR"
    rc=0
    step "guest: tests" ctest --output-on-failure -R '$FILTER' || rc=\$?
    wine_bed_stop
    exit \$rc
  ) || status=1
fi
if [ -n "${VERSIONS[*]}" ]; then
  export VN_E2E_DIR=/var/tmp/vn-e2e VN_E2E_SHOTS="$TEST_DIR/e2e-screenshots" VN_E2E_CLEAN=1
  step "guest: end-to-end run" "$ROOT/tools/run-e2e.sh" -B "$BUILD_DIR" --tree "$TEST_DIR" ${VERSIONS[*]} || status=1
fi
exit \$status
EOF
status=0
step "guest: boot and run" guest_boot "$GUEST" "$TEST_DIR" snapshot "${shares[@]}" || status=$?
echo "guest: all steps $((SECONDS - start)) s"
exit $status
