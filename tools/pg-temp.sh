#!/usr/bin/env bash
# A throwaway PostgreSQL 15 server on a free loopback port, for tests and
# benchmarks.
#   pg-temp.sh start DIR   -> starts a cluster in DIR, prints shell exports:
#                             TALLYVOX_TEST_PG_HOST/PORT/USER/PASSWORD
#   pg-temp.sh restart DIR -> stops and starts it again on the same port
#   pg-temp.sh stop DIR    -> stops it and removes DIR
# initdb refuses to run as root, so as root the cluster belongs to "postgres".
set -euo pipefail

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|restart|stop DIR" >&2; exit 2; }

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bindir/initdb" ] || { echo "pg-temp: PostgreSQL server binaries not found (install postgresql)" >&2; exit 1; }

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

free_port() {
  python3 - <<'PY' 2>/dev/null || echo $(( 20000 + RANDOM % 20000 ))
import socket
s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()
PY
}

case "$cmd" in
start)
  mkdir -p "$dir"
  password=tallyvox-test
  printf '%s\n' "$password" > "$dir/pwfile"
  mkdir -p "$dir/data" "$dir/sock"
  if [ "$(id -u)" -eq 0 ]; then chown -R postgres:postgres "$dir"; chmod 700 "$dir"; fi
  # Sockets trust the owner; TCP wants the password, so password handling is
  # really exercised by the tests.
  as_owner "$bindir/initdb" -D "$dir/data" -U postgres --auth-local=trust \
    --auth-host=scram-sha-256 --pwfile="$dir/pwfile" -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  port=$(free_port)
  as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
    -o "-p $port -k $dir/sock -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" \
    start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
  echo "$port" > "$dir/port"
  echo "export TALLYVOX_TEST_PG_HOST=127.0.0.1"
  echo "export TALLYVOX_TEST_PG_PORT=$port"
  echo "export TALLYVOX_TEST_PG_USER=postgres"
  echo "export TALLYVOX_TEST_PG_PASSWORD=$password"
  echo "export TALLYVOX_TEST_PG_SOCKET=$dir/sock"
  echo "export TALLYVOX_TEST_PG_DIR=$dir"
  ;;
restart)
  port=$(cat "$dir/port")
  as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
  as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
    -o "-p $port -k $dir/sock -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" \
    start >/dev/null
  ;;
stop)
  if [ -d "$dir/data" ]; then
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|restart|stop DIR" >&2; exit 2 ;;
esac
