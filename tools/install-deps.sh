#!/usr/bin/env bash
# Installs every Debian package Tallyvox needs to build, run and test.
# Works as root or through sudo; safe to run again (apt skips what is there).
set -euo pipefail

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi

BUILD=(build-essential cmake ninja-build ccache pkg-config
       qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-tools-dev
       libqt6sql6-sqlite libqt6sql6-psql libgl-dev
       libsqlite3-dev libxlsxwriter-dev libsodium-dev libx11-dev libxcb1-dev
       qt6-svg-dev espeak-ng sox
       qt6-httpserver-dev qt6-websockets-dev libqrencode-dev)
RUN=(gstreamer1.0-plugins-good fonts-liberation2 fonts-lohit-deva qt6-qpa-plugins
     libqt6httpserver6 libqt6websockets6 libqrencode4)
TEST=(postgresql postgresql-client xvfb xdotool x11-apps poppler-utils libsox-fmt-all sqlite3
      python3 python3-openpyxl unrtf zbar-tools curl)
# Headless chromium for tools/web-screenshots.sh: over 700 MB with what it
# pulls in, so only with --with-browser.
BROWSER=(chromium)

want=("${BUILD[@]}" "${RUN[@]}" "${TEST[@]}")
for a in "$@"; do
  case "$a" in
    --with-browser) want+=("${BROWSER[@]}") ;;
    *) echo "usage: $0 [--with-browser]" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
