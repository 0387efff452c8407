#!/usr/bin/env bash
# Generates the two stock voice folders, OUTDIR/vs/english and OUTDIR/vs/hindi,
# with espeak-ng and sox: every file the number reading asks for (digits, 10 to
# 99, the tens, the hundred and thousand words, the scale words, the letters)
# plus the words of the two stock announcement formats.
#
#   tools/make-voices.sh OUTDIR
#
# The english folder holds what the "english" reading needs, the hindi folder
# what every other voice's reading needs (each number 10 to 99 and 200 on its
# own). Format fields are played under their exact names, so "ding", "token",
# "please", "roomno" and "go" are WAV files without an extension.
#
# Runs in the build: two jobs at a time, and nothing at all when the folders
# were made by this same script with this same espeak-ng (stamp file).
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
out=$1/vs
for tool in espeak-ng sox; do
  command -v "$tool" >/dev/null || { echo "make-voices: $tool is not installed" >&2; exit 1; }
done

stamp=$out/.stamp
want=$( (cat "$0"; espeak-ng --version; sox --version) | sha256sum | cut -d' ' -f1)
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
  touch "$stamp" # the build compares times: up to date stays up to date
  exit 0
fi
rm -f "$stamp"
mkdir -p "$out/english" "$out/hindi"

# One line per file: voice, file name, text to speak (tab separated).
voice_lines() {
  local n
  # Both readings: 1 to 19 and the whole tens.
  for n in $(seq 1 19) 20 30 40 50 60 70 80 90; do
    printf 'english\t%s.wav\t%s\n' "$n" "$n"
    printf 'hindi\t%s.wav\t%s\n' "$n" "$n"
  done
  # The other reading says each number 21 to 99 with a file of its own.
  for n in $(seq 21 99); do
    [ $((n % 10)) -eq 0 ] || printf 'hindi\t%s.wav\t%s\n' "$n" "$n"
  done

  printf 'english\t%s\t%s\n' \
    00.wav hundred 000.wav thousand thousand.wav thousand million.wav million \
    billion.wav billion trillion.wav trillion \
    token token please please roomno "room number" go go
  # espeak-ng says the numbers in Hindi from digits; the words are written out.
  printf 'hindi\t%s\t%s\n' \
    00.wav सौ 200.wav 200 000.wav हज़ार thousand.wav हज़ार million.wav मिलियन \
    billion.wav बिलियन trillion.wav ट्रिलियन \
    token टोकन please कृपया roomno "कमरा नंबर" go "पर जाइए"

  # Letters by their names; the Hindi voice says the English letter names as
  # Hindi speakers do, in its own voice.
  local letters=(a b c d e f g h i j k l m n o p q r s t u v w x y z)
  local hindi=(ए बी सी डी ई एफ़ जी एच आई जे के एल एम एन ओ पी क्यू आर एस टी यू वी डब्ल्यू एक्स वाई ज़ेड)
  local i
  for i in "${!letters[@]}"; do
    printf 'english\t%s.wav\t<say-as interpret-as="characters">%s</say-as>\n' \
      "${letters[$i]}" "${letters[$i]}"
    printf 'hindi\t%s.wav\t%s\n' "${letters[$i]}" "${hindi[$i]}"
  done
}

# Speaks one line into its file: 22050 Hz mono 16-bit, silence trimmed at both
# ends (so the words of a call follow each other closely) and normalised.
speak_one() {
  local voice name text lang tmp
  IFS=$'\t' read -r voice name text <<<"$1"
  lang=en
  [ "$voice" = hindi ] && lang=hi
  tmp=$(mktemp --suffix=.wav)
  espeak-ng -v "$lang" -m -w "$tmp" "$text"
  sox -q "$tmp" -t wav -r 22050 -c 1 -b 16 "$2/$voice/$name" \
    silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse norm -1 pad 0 0.05
  rm -f "$tmp"
}
export -f speak_one

# shellcheck disable=SC2016 # expanded by the inner shell
voice_lines | tr '\n' '\0' | xargs -0 -P 2 -I{} bash -c 'speak_one "$1" "$2"' _ {} "$out"

# The chime before every call: two soft bell tones, a third apart.
for voice in english hindi; do
  sox -q -n -r 22050 -c 1 -b 16 -t wav "$out/$voice/ding" \
    synth 0.9 pluck E5 pluck C5 delay 0 0.3 remix - fade q 0.005 0.9 0.5 norm -3
done

echo "$want" >"$stamp"
