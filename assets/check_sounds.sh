#!/usr/bin/env bash
# Checks the client's sounds and, when a folder of set packages is given,
# the packages too. Plays nothing.
#
# Usage: assets/check_sounds.sh [SOUNDS_DIR [SETS_DIR]]
#   SOUNDS_DIR  default assets/program/sounds
#   SETS_DIR    output folder of make_sets.sh; each package is unpacked in a
#               temporary folder and what it holds is checked
# Prints one line per problem and a summary; exits 1 when anything is wrong.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=sound_common.sh
. "$here/sound_common.sh"

sounds="${1:-$here/program/sounds}"
sets="${2-}"
problems=0
fail() { echo "problem: $*"; problems=$((problems + 1)); }

# check_wav FILE MAXRATE MAXSECONDS [silent]
check_wav() {
  local f="$1" maxrate="$2" maxlen="$3" info rate ch bits len peak
  if [ ! -f "$f" ]; then fail "$f missing"; return; fi
  info="$(soxi "$f" 2>/dev/null)" || { fail "$f is not a readable WAV"; return; }
  rate="$(awk -F' *: *' '$1 == "Sample Rate" { print $2 }' <<<"$info")"
  ch="$(awk -F' *: *' '$1 == "Channels" { print $2 }' <<<"$info")"
  bits="$(awk -F' *: *' '$1 == "Precision" { print $2 + 0 }' <<<"$info")"
  len="$(awk -v r="$rate" '/^Duration/ { for (i = 2; i <= NF; i++) if ($i == "samples") print $(i - 1) / r }' <<<"$info")"
  [ "$ch" = 1 ] || fail "$f has $ch channels"
  [ "$bits" = 16 ] || fail "$f has $bits bits"
  [ "$rate" -le "$maxrate" ] || fail "$f runs at $rate Hz"
  awk -v l="$len" -v m="$maxlen" 'BEGIN { exit !(l > 0 && l <= m) }' || fail "$f lasts $len s"
  peak="$(sox "$f" -n stat 2>&1 | awk '/^Maximum amplitude/ { print $3 }')"
  if [ "${4-}" = silent ]; then
    awk -v p="$peak" 'BEGIN { exit !(p == 0) }' || fail "$f is not silent"
  else
    # normalised to -3 dBFS: a peak of about 0.71
    awk -v p="$peak" 'BEGIN { exit !(p > 0.6 && p < 0.75) }' || fail "$f peaks at $peak"
  fi
}

default_names() {
  local n l
  for ((n = 1; n <= 75; n++)); do
    l="$(ball_letter "$n")"
    echo "$l$n.wav"
    echo "$l${n}a.wav"
  done
  for n in "${ANNOUNCER_NAMES[@]}"; do
    [ "$n" = bingo ] || echo "$n.wav"
  done
  printf '%s\n' Bingo.wav click.wav yesbingo.wav nobingo.wav onetogo.wav
}

count=0
while IFS= read -r name; do
  check_wav "$sounds/$name" 16000 3
  count=$((count + 1))
done < <(default_names)
check_wav "$sounds/null.wav" 16000 0.25 silent
count=$((count + 1))
extra="$(cd "$sounds" && ls -A | grep -vxF -f <(default_names; echo null.wav) || true)"
[ -z "$extra" ] || fail "unexpected files in $sounds: $extra"
# names that differ only in case would be one file to the client
dups="$(cd "$sounds" && ls -A | tr 'A-Z' 'a-z' | sort | uniq -d)"
[ -z "$dups" ] || fail "names differing only in case: $dups"
echo "sounds: $count files checked in $sounds, $(du -cb "$sounds"/*.wav | tail -1 | cut -f1) bytes"

if [ -n "$sets" ]; then
  work="$(mktemp -d "${TMPDIR:-/tmp}/vexo-check.XXXXXX")"
  trap 'rm -rf "$work"' EXIT
  while read -r key num title; do
    qty="${title##* }"; title="${title% *}"
    name="$key$num"
    inst="$sets/$name.exe"
    [ -f "$inst" ] || { fail "$inst missing"; continue; }
    dir="$work/$name dir"
    mkdir -p "$dir"
    # a set is a package of plain WAV names, which the client unpacks into its sounds folder
    mkdir -p "$dir/sounds"
    tar -xzf "$inst" -C "$dir/sounds" --no-same-owner || fail "$name.exe is not a readable package"
    got="$(cd "$dir/sounds" && ls -A | wc -l)"
    [ "$got" = "$qty" ] || fail "$name.exe holds $got files, sets.txt says $qty"
    odd="$(tar -tzf "$inst" | grep -v '^[^/]*\.wav$' || true)"
    [ -z "$odd" ] || fail "$name.exe holds more than plain WAV names: $odd"
    for f in "$dir/sounds"/*; do
      check_wav "$f" 11025 3
    done
    case $key in
      cset) [ -f "$dir/sounds/cs${num}O75a.wav" ] || fail "$name lacks cs${num}O75a.wav" ;;
      bset) [ -f "$dir/sounds/bset${num}1.wav" ] || fail "$name lacks bset${num}1.wav" ;;
      aset)
        for n in "${ANNOUNCER_NAMES[@]}"; do
          [ -f "$dir/sounds/$n.wav" ] || fail "$name lacks $n.wav"
        done ;;
    esac
    echo "set: $name \"$title\" $(wc -c <"$inst") bytes, unpacked $got files: $(cd "$dir/sounds" && ls | head -3 | tr '\n' ' ')..."
  done <"$sets/sets.txt"
fi

if [ "$problems" -gt 0 ]; then
  echo "check_sounds: $problems problems"
  exit 1
fi
echo "check_sounds: all good"
