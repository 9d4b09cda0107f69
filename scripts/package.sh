#!/usr/bin/env bash
# Builds the Debian packages kova, kova-gui and kova-sim into build/packages/
# from the optimised build (reused when scripts/test.sh made it), then checks
# them: lintian (no error; the warnings it may keep are in
# packaging/lintian-kept.txt with the reason), the AppStream description, the
# desktop entry and every manual page (man --warnings).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --packaging

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-10G}"

cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target kova kova-gui kova-sim hmReportExport \
  kova_data kova_packaging_files
out=build/packages
rm -rf "$out"
mkdir -p "$out"
(cd build && cpack -G DEB -B "$PWD/packages" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls -l "$out"/*.deb

failed=0
# The checks of the files as installed: an unpacked copy of each package.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for deb in "$out"/*.deb; do dpkg-deb -x "$deb" "$stage"; done

desktop-file-validate "$stage"/usr/share/applications/*.desktop || failed=1
appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml || failed=1
for program in kova kova-gui kova-sim hmReportExport; do
  if [ ! -f "$stage/usr/share/man/man1/$program.1.gz" ]; then
    echo "No manual page $program(1) (is help2man installed?)"
    failed=1
  fi
done
for page in "$stage"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  if [ -n "$warnings" ]; then
    echo "man --warnings: $(basename "$page"):"
    echo "$warnings"
    failed=1
  fi
done

# lintian: errors fail; each kept warning must be listed with its reason.
kept=$(grep -o '^[a-z0-9-]*' packaging/lintian-kept.txt | sort -u | paste -sd, -)
report=$(lintian --tag-display-limit 0 ${kept:+--suppress-tags "$kept"} "$out"/*.deb 2>&1 |
  grep -E '^[EW]: ' || true)
if [ -n "$report" ]; then
  echo "lintian, beyond the warnings packaging/lintian-kept.txt keeps:"
  echo "$report"
  failed=1
fi
if [ "$failed" -ne 0 ]; then
  echo "The packages fail their checks."
  exit 1
fi
echo "Packages checked: lintian, appstreamcli, desktop-file-validate, man --warnings."
du -k "$out"/*.deb | awk '{ printf "%s: %d KiB\n", $2, $1 }'
