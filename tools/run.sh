#!/usr/bin/env bash
# Builds Tallyvox (installing what is missing), fills an embedded demo hall and
# starts it on this desktop as three stations: the display station (the board
# and the console, from which the kiosk opens: Modules > Print Ticket) and two
# counter stations that log in by themselves. Ctrl+C ends them all.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Only what the stations need: the tests and benchmarks are built by tools/test.sh.
bash "$here/tools/build.sh" tallyvox_program

export TALLYVOX_HOME="${TALLYVOX_HOME:-$HOME/.local/share/tallyvox-demo}"
bin="$here/build/bin/tallyvox"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no desktop here (DISPLAY is not set); start it from a desktop session" >&2
  exit 1
fi

echo "Demo hall in $TALLYVOX_HOME"
"$bin" --demo --profile display

pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT INT TERM
"$bin" --profile display & pids+=($!)
sleep 1
"$bin" --profile counter1 & pids+=($!)
"$bin" --profile counter2 & pids+=($!)
echo "Stations running: display, counter1 (Room 1, Blood Test; F4-F7), counter2 (Room 3, General Medicine)."
echo "Issue a Blood Test ticket from the console's Print Ticket, press Next at Room 1, watch the board."
wait
