#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, starts a throwaway
# PostgreSQL server, runs every test on SQLite and PostgreSQL, stops the server.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/build.sh"

pgdir=$(mktemp -d /tmp/tallyvox-pg.XXXXXX)
cleanup() { bash "$here/tools/pg-temp.sh" stop "$pgdir"; }
trap cleanup EXIT
eval "$(bash "$here/tools/pg-temp.sh" start "$pgdir")"
export TALLYVOX_TEST_REQUIRE_PG=1

cd "$here/build"
ctest --output-on-failure --timeout 600 "$@"
