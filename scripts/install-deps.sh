#!/usr/bin/env bash
# Installs the Debian packages the program needs to build, test and run.
# Idempotent, and quiet when everything is already there. With --windows,
# also what the Windows cross build of the core and its tests under Wine need;
# with --packaging, what making and checking the Debian packages needs
# (scripts/package.sh, scripts/test-package.sh).
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-serialport-dev libhidapi-dev libxlsxwriter-dev zlib1g-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 poppler-utils xvfb xauth libxml2-utils libxml2-dev nlohmann-json3-dev
  libsqlite3-dev libpq-dev postgresql
  qt6-svg-dev libcpp-httplib-dev chromium wrk
)
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine64 googletest nlohmann-json3-dev)
fi
if [ "${1:-}" = "--packaging" ]; then
  packages+=(help2man lintian appstream desktop-file-utils man-db mmdebstrap bash-completion netpbm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
