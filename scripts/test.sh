#!/usr/bin/env bash
# Builds the program and runs every test: the optimised build, then the
# AddressSanitizer/UBSan build of the same tests, then ThreadSanitizer over
# the instrument, desktop and automatic-export tests (the paths with a
# second thread).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
jobs="$(nproc)"
# Compiled objects are kept between runs (and between clones in other
# folders: paths are taken relative to the checkout and the build folder is
# left out of the key), so a second run rebuilds only what changed.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-10G}"

# Each step says when it ends, so a slow CI run shows where its time went.
step() { echo "== $1 done at $((SECONDS / 60)) min $((SECONDS % 60)) s"; }
step "dependencies"

cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
step "optimised build"
ctest --preset default -j "$jobs"
step "optimised tests"

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
step "sanitizer build"
# Leak checking is off: with Qt's fonts loaded every window test reports
# fontconfig's own cache as leaked, and LeakSanitizer's tracer crashes at the
# exit of the report generator (Qt's threads). AddressSanitizer and UBSan
# still check every access.
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan -j "$jobs"
step "sanitizer tests"

# Only the device, desktop, app and export test programs (and the simulator
# they start): the rest of the program has no second thread.
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
step "thread sanitizer build"
# The suppressions for Qt's own locks match on either stack of a report, so
# the earlier access's stack must still be in the history (the default keeps
# too little of it for a download of several records with its questions).
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=7 suppressions=$PWD/tests/tsan.supp" \
  ctest --preset tsan -j "$jobs"
step "thread sanitizer tests"
