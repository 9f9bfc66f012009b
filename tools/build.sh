# Sourced by the run scripts: installs what is missing, builds the 32-bit deliverables in
# BUILD_DIR (win32 thread model, no tests: what ships) and the test tree beside it (posix thread
# model, with the tests): BUILD_DIR/x86 where the kernel runs 32-bit programs, else a 64-bit twin
# of the same sources in BUILD_DIR/x64, run under 64-bit Wine.
# Needs: ROOT, BUILD_DIR. Sets: TEST_DIR (the tree whose programs run under Wine), BIN_DIR.
# VN_BUILD_TARGETS (optional, blank-separated) limits the test tree's build to those targets.
# VN_TEST_ARCH=x86 builds the 32-bit test tree even where this kernel cannot run it (for the
# emulated guest, tools/run-guest-tests.sh); VN_TIME_SCALE (default 1) scales CTest's limits.
JOBS=$(nproc)
TARGETS=()
for t in ${VN_BUILD_TARGETS:-}; do TARGETS+=(--target "$t"); done
"$ROOT/tools/install-deps.sh"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DVN_THREAD_MODEL=win32 \
  -DVN_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS"

source "$ROOT/tools/wine-bed.sh"
if [ "${VN_TEST_ARCH:-}" = x86 ] || wine_bed_can_run_32bit; then
  TEST_DIR="$BUILD_DIR/x86"; toolchain="$ROOT/cmake/toolchain-i686-mingw.cmake"
else
  echo "build: this kernel does not run 32-bit programs; testing the 64-bit twin build under 64-bit Wine"
  TEST_DIR="$BUILD_DIR/x64"; toolchain="$ROOT/cmake/toolchain-x86_64-mingw.cmake"
fi
cmake -S "$ROOT" -B "$TEST_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DVN_THREAD_MODEL=posix -DVN_BUILD_TESTS=ON -DVN_DELIVERABLES_DIR="$BUILD_DIR/bin" \
  -DVN_TIME_SCALE="${VN_TIME_SCALE:-1}" >/dev/null
cmake --build "$TEST_DIR" -j"$JOBS" "${TARGETS[@]}"
BIN_DIR="$TEST_DIR/bin"
