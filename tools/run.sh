#!/usr/bin/env bash
# Builds Tallyvox (installing what is missing) and starts a station on the
# embedded database. Extra arguments go to the program (e.g. --profile NAME).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/build.sh"
exec "$here/build/bin/tallyvox" "$@"
