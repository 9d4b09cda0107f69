#!/bin/sh
# A private PostgreSQL cluster for the library's store tests: started on a
# Unix socket in a temporary folder (no TCP port), as the postgres user when
# run as root. A watchdog stops it when the test run that started it ends,
# even if that run is killed before its cleanup.
#   pg_cluster.sh start STATEFILE   writes the socket folder into STATEFILE,
#                                   or "missing" when the server is not installed
#   pg_cluster.sh stop STATEFILE
set -u
state=$2
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -n "$bindir" ] || bindir=$(dirname "$(command -v initdb 2>/dev/null || echo /none/initdb)")

as_server() {
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop_cluster() {
  dir=$1
  [ -d "$dir/data" ] && as_server "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
  rm -rf "$dir"
}

case $1 in
start)
  if [ ! -x "$bindir/initdb" ] || [ ! -x "$bindir/pg_ctl" ]; then
    echo missing >"$state"
    echo "PostgreSQL server programs are missing: the PostgreSQL store tests are skipped"
    exit 0
  fi
  if [ -s "$state" ] && [ -d "$(cat "$state")/data" ]; then stop_cluster "$(cat "$state")"; fi
  dir=$(mktemp -d /tmp/kova-pg.XXXXXX) || exit 1
  chmod 755 "$dir"
  [ "$(id -u)" = 0 ] && chown postgres "$dir"
  as_server "$bindir/initdb" -D "$dir/data" -A trust -U kova -E UTF8 --no-locale >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log"; exit 1; }
  as_server "$bindir/pg_ctl" -D "$dir/data" -o "-k $dir -c listen_addresses='' -c max_connections=40" \
    -w -l "$dir/log" start >/dev/null || { cat "$dir/log"; exit 1; }
  echo "$dir" >"$state"
  # The run that started us (ctest) is our parent: stop when it is gone.
  watched=$PPID
  (
    trap '' HUP
    while kill -0 "$watched" 2>/dev/null && [ -d "$dir/data" ]; do sleep 2; done
    stop_cluster "$dir"
  ) >/dev/null 2>&1 </dev/null &
  echo "$!" >"$dir/watchdog.pid"
  ;;
stop)
  [ -s "$state" ] || exit 0
  dir=$(cat "$state")
  rm -f "$state"
  [ "$dir" = missing ] && exit 0
  [ -f "$dir/watchdog.pid" ] && kill "$(cat "$dir/watchdog.pid")" 2>/dev/null
  stop_cluster "$dir"
  ;;
esac
