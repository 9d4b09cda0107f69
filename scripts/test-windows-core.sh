#!/usr/bin/env bash
# Cross-builds the UI-free core and its tests for 64-bit Windows with
# MinGW-w64 and runs every test program under Wine, headless, in a Wine
# prefix of its own that is removed afterwards. Exits non-zero when a build
# step or any test fails; tests that only make sense on Linux say so and are
# reported as skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

scripts/install-deps.sh --windows

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "test-windows-core: no wine64 found" >&2; exit 1; }

export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake --preset windows-core >/dev/null
cmake --build --preset windows-core -j 2

prefix=$(mktemp -d)
trap 'WINEPREFIX="$prefix" "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml="
# Creating the prefix takes a while and talks a lot; do it once, quietly.
"$wine" cmd /c exit >/dev/null 2>&1 || true

failed=()
passed_total=0
skipped_total=0
cd build-windows/tests
shopt -s nullglob
programs=(kova_*_tests.exe)
[ ${#programs[@]} -gt 0 ] || { echo "test-windows-core: no test programs built" >&2; exit 1; }
for program in "${programs[@]}"; do
  log=$(mktemp)
  # A program that hangs under Wine fails instead of stopping CI. Wine's
  # console ends lines with CR LF.
  if timeout 900 "$wine" "$program" 2>&1 | tr -d '\r' >"$log"; then
    status=ok
  else
    status=FAILED
    failed+=("$program")
  fi
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?.*/\1/p' "$log" | tail -1)
  skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?.*/\1/p' "$log" | tail -1)
  passed_total=$((passed_total + ${passed:-0}))
  skipped_total=$((skipped_total + ${skipped:-0}))
  printf '%-28s %-6s passed %4s  skipped %3s\n' "$program" "$status" "${passed:-0}" "${skipped:-0}"
  # Every skipped test with its reason; failures in full.
  awk '/: Skipped$/ { getline reason; next }
       /^\[  SKIPPED \] [A-Za-z].* \([0-9]+ ms\)$/ { sub(/ \([0-9]+ ms\)$/, "");
         print "    skipped " substr($0, 14) ": " reason }' "$log"
  if [ "$status" != ok ]; then
    grep -v '^\[       OK \]\|^\[ RUN      \]' "$log" || true
  fi
  rm -f "$log"
done

echo "Windows core tests under Wine: $passed_total passed, $skipped_total skipped," \
  "${#failed[@]} programs failed ($((SECONDS - started)) s)"
[ ${#failed[@]} -eq 0 ]
