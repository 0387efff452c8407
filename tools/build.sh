#!/usr/bin/env bash
# Installs what is missing, then configures and builds Tallyvox into build/.
#   build.sh            everything: the program, its tests and benchmarks
#   build.sh TARGET...  only those targets and what they need
#                       (tallyvox_program: the program, its voices and pictures)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/install-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$here/build" -j "$(nproc)" "${targets[@]}"
