#!/usr/bin/env bash
# The web pages under load: wrk on loopback against `kova serve` with a
# library of CTS CTs x TESTS records (20,000 x 5 = 100,000 records by
# default), each page for SECONDS seconds with CONNECTIONS connections.
# Prints requests per second and the 50th, 95th and 99th percentile
# latencies of each, and the server's resident memory after each page (it
# should stay flat). Bounded: every run ends after SECONDS, a request waits
# at most 10 s, and the server is stopped however the script ends.
#   bench/serve_load.sh            (after a build: build/bin/kova, build/bench/serve_library)
#   CTS=2000 TESTS=5 SECONDS=5 bench/serve_load.sh
set -euo pipefail
cd "$(dirname "$0")/.."
CTS=${CTS:-20000} TESTS=${TESTS:-5} SECONDS_EACH=${SECONDS:-10} CONNECTIONS=${CONNECTIONS:-8}
kova=build/bin/kova maker=build/bench/serve_library
for p in "$kova" "$maker" "$(command -v wrk || true)"; do
  [ -n "$p" ] && [ -x "$p" ] || { echo "Missing $p: build first (and install wrk)" >&2; exit 1; }
done

work=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

start=$(date +%s)
"$maker" "$work/lib.sqlite" "$CTS" "$TESTS"
echo "Library made in $(( $(date +%s) - start )) s"

export KOVA_SETTINGS="$work/settings.ini" QT_QPA_PLATFORM=offscreen
setpriv --pdeathsig TERM "$kova" serve --library "$work/lib.sqlite" --listen 127.0.0.1:0 \
  2>"$work/serve.log" &
server=$!
url=""
for _ in $(seq 100); do
  url=$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$work/serve.log" | head -1 || true)
  [ -n "$url" ] && break
  sleep 0.1
done
[ -n "$url" ] || { echo "kova serve did not start:" >&2; cat "$work/serve.log" >&2; exit 1; }

# The percentiles wrk's own --latency leaves out.
cat >"$work/report.lua" <<'LUA'
done = function(summary, latency, requests)
  io.write(string.format("  %8.1f req/s  p50 %7.1f ms  p95 %7.1f ms  p99 %7.1f ms  errors %d\n",
    summary.requests / (summary.duration / 1e6), latency:percentile(50) / 1000,
    latency:percentile(95) / 1000, latency:percentile(99) / 1000,
    summary.errors.connect + summary.errors.read + summary.errors.write +
    summary.errors.status + summary.errors.timeout))
end
LUA

middle=$(( CTS / 2 ))
ct=$(printf 'KOVA%%20SIM%%1FSN%05d' "$middle")
for page in ${PAGES:-"/" "/?sort=due&desc=1&offset=$middle" "/?state=warn&limit=50" \
            "/?format=csv&limit=1000" "/ct/$ct" "/ct/$ct?format=json"}; do
  echo "$page"
  wrk -t 2 -c "$CONNECTIONS" -d "${SECONDS_EACH}s" --timeout 10s -s "$work/report.lua" \
    "$url$page" | tail -1
  echo "  server memory: $(awk '/VmRSS/ {print $2, $3}' "/proc/$server/status")"
done
