#!/usr/bin/env bash
# The main job for a newcomer: install what is needed, build, start the
# simulated instrument on a pseudo-terminal, download its stored tests into
# build/demo/, show each record and export its text report; with a display,
# open them in the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target kova kova-sim kova_data

out="$PWD/build/demo"
rm -rf "$out"
mkdir -p "$out/records"
# The demo keeps its own settings, so the user's are left alone.
export KOVA_SETTINGS="$out/settings.ini"
# Qt wants a private runtime folder; a root shell often has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$out/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
link="$out/kova-sim-link"

build/bin/kova-sim --model "${KOVA_DEMO_MODEL:-7100B}" --tests 3 --pty-link "$link" \
  >"$out/kova-sim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

kova=build/bin/kova
echo "== The simulated instrument"
$kova device --port "$link" identify
echo
echo "== Its stored tests"
$kova device --port "$link" dir
echo
echo "== Downloading them into $out/records"
$kova device --port "$link" download --all -o "$out/records"
for f in "$out"/records/*.tst-kova7k; do
  echo
  echo "== $(basename "$f")"
  $kova record show "$f"
done
echo
$kova record export --format txt "$out"/records/*.tst-kova7k -o "$out/reports" >/dev/null
echo "Text reports: $out/reports"

# On a machine with a display, end in the desktop program with the records
# open (the "Open Test" browser starts in their folder).
if [ -n "${DISPLAY:-}" ]; then
  cmake --build --preset default -j "$(nproc)" --target kova-gui >/dev/null
  echo "== Opening the records in kova-gui"
  (cd "$out/records" && "$OLDPWD/build/bin/kova-gui" "$out"/records/*.tst-kova7k)
fi
