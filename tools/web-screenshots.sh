#!/usr/bin/env bash
# Photographs the hall web service's pages in headless Chromium: a visitor's
# status page (waiting and called, on a phone-sized window) and the browser
# board. Run by hand (Chromium with what it pulls in is over 700 MB, so it is
# installed only here, through install-deps.sh --with-browser):
#   tools/web-screenshots.sh BUILD_DIR OUT_DIR
# Works on a demo hall in a temporary home; touches nothing of the user's.
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR OUT_DIR}
out=${2:?usage: $0 BUILD_DIR OUT_DIR}
prog="$build/bin/tallyvox"
[ -x "$prog" ] || { echo "web-screenshots: $prog not built" >&2; exit 1; }
if ! command -v chromium >/dev/null; then
  bash "$(dirname "$0")/install-deps.sh" --with-browser
fi
mkdir -p "$out"
home=$(mktemp -d)
export TALLYVOX_HOME="$home" QT_QPA_PLATFORM=offscreen
trap 'kill "$server" 2>/dev/null || true; rm -rf "$home"' EXIT

"$prog" --demo >/dev/null
key=$("$prog" --api-key create screenshots 2>/dev/null)
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
"$prog" --serve --listen "127.0.0.1:$port" >"$home/serve.log" 2>&1 &
server=$!
for _ in $(seq 50); do curl -sf "http://127.0.0.1:$port/api/v1/services" >/dev/null && break; sleep 0.2; done

take() { # service -> status URL
  curl -sf -H "X-Api-Key: $key" -d "{\"service\": $1}" "http://127.0.0.1:$port/api/v1/tickets" |
    python3 -c 'import json,sys; print(json.load(sys.stdin)["statusUrl"])'
}
first=$(take 1); take 1 >/dev/null; mine=$(take 1); take 2 >/dev/null
theme=$(sqlite3 "$home/data/tallyvox.db" "select themename from tbltheme order by themeauto limit 1")
today=$(date +%F)
# Two calls on the board, as counters would leave them (the first ticket called).
db="$home/data/tallyvox.db"
# The demo theme keeps its clock off; a hall board usually shows one.
sqlite3 "$db" "update tbltheme set showtime=1, tformat='hh:mm AP'"
sqlite3 "$db" "update tblTicket set call=1, attended=1, attTime=time('now','localtime'), status='Finished' where tickNo=1 and servAuto=1 and tickDate='$today';
  insert into tblCall (servAuto, callToken, callCounter, status, tickAuto, tickDate, callRoom)
  select 1, no_abr, (select displayName from tblCounter where cntAuto=1), '0', tickAuto, tickDate, '' from tblTicket where tickNo=1 and servAuto=1 and tickDate='$today';"

shot() { # url file width height
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --virtual-time-budget=4000 \
    --window-size="$3,$4" --screenshot="$out/$2" "$1" >/dev/null 2>&1
  echo "web-screenshots: $out/$2"
}
shot "$mine" status-waiting.png 412 860
shot "$mine?lang=hi" status-waiting-hi.png 412 860
shot "$first" status-called.png 412 860
shot "http://127.0.0.1:$port/board?theme=$theme" board.png 1280 720
