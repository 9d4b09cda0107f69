#!/usr/bin/env bash
# Cross-builds the UI-free core and its tests for 64-bit Windows with
# MinGW-w64 and runs every test program under Wine, headless, in a Wine
# prefix of its own that is removed afterwards. Exits non-zero when a build
# step or any test fails; tests that only make sense on Linux say so and are
# reported as skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest nlohmann-json3-dev)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "test-windows-core: no wine64 found" >&2; exit 1; }

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
for program in kova_*_tests.exe; do
  log=$(mktemp)
  if "$wine" "$program" --gtest_brief=1 >"$log" 2>&1; then
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
  # Failures in full, and the reason of every skip.
  if [ "$status" != ok ]; then
    cat "$log"
  else
    grep -A1 '^\[  SKIPPED \] [A-Za-z]' "$log" | grep -v '^--$' || true
  fi
  rm -f "$log"
done

echo "Windows core tests under Wine: $passed_total passed, $skipped_total skipped," \
  "${#failed[@]} programs failed ($((SECONDS - started)) s)"
[ ${#failed[@]} -eq 0 ]
