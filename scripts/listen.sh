#!/usr/bin/env bash
# Renders what a player hears during one fast game into one WAV file.
#
# Starts the demo hall on free ports with a fast clock, runs tools/listen-driver (the
# headless client with a player that logs every sound it is handed, with its game
# time) through one game, then lays the logged files out on a time line with sox:
# each sound starts at its logged game time (game seconds = real seconds of the
# recording, so the calls keep their real 9-second spacing), silence fills the gaps.
#
# Usage: scripts/listen.sh [BUILD_DIR] [OUT_WAV]   (defaults: build, shots/listen.wav)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="${2:-$root/shots/listen.wav}"
mkdir -p "$(dirname "$out")"
rate=22050
tick=20   # real milliseconds per game second

for tool in sox; do
  command -v "$tool" >/dev/null || { echo "listen.sh: $tool is needed" >&2; exit 2; }
done
[ -x "$build/hall/bingo-hall" ] && [ -x "$build/tools/listen-driver" ] || {
  echo "listen.sh: build the targets bingo-hall and listen-driver in $build first" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/vexo-listen.XXXXXX")"
hall_pid=""
cleanup() {
  if [ -n "$hall_pid" ]; then kill "$hall_pid" 2>/dev/null || true; wait "$hall_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

"$build/hall/bingo-hall" --web-port 0 --request-port 0 --sales-port 0 --game-port 0 \
  --chat-port1 0 --chat-port2 0 --tick-ms "$tick" --wait-seconds 2 --sales-seconds 60 \
  >"$work/ready" 2>"$work/hall.err" &
hall_pid=$!
line=""
for _ in $(seq 100); do
  line="$(head -n 1 "$work/ready")"
  [ -n "$line" ] && break
  kill -0 "$hall_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$line" ] || { echo "listen.sh: the hall did not start" >&2; cat "$work/hall.err" >&2; exit 1; }
if [[ ! "$line" =~ web=([0-9.]+:[0-9]+)\ request=([0-9]+)\ sales=([0-9]+)\ game=([0-9]+) ]]; then
  echo "listen.sh: unexpected ready line: $line" >&2; exit 1
fi
web="${BASH_REMATCH[1]}"; request="${BASH_REMATCH[2]}"; sales="${BASH_REMATCH[3]}"; game="${BASH_REMATCH[4]}"

QT_QPA_PLATFORM=offscreen "$build/tools/listen-driver" --web "$web" --request "$request" --sales "$sales" \
  --game "$game" --app "$build/app" --folder "$work/program" --ms-per-second "$tick" --out "$work/log.txt" --timeout-s 180

# Lay the sounds out on the time line: silence up to each sound's start, then the sound.
parts=()
i=0
cursor=0   # milliseconds of audio written so far
first=""
while read -r at length path; do
  [ -n "$first" ] || first="$at"
  start=$((at - first))
  gap=$((start > cursor ? start - cursor : 0))
  part="$work/part$(printf %04d "$i").wav"
  sox "$path" -r "$rate" -c 1 -b 16 "$part" pad "$(awk -v g="$gap" 'BEGIN { printf "%.3f", g / 1000 }')" 0
  parts+=("$part")
  cursor=$((cursor + gap + length))
  printf '%8.3f s  %s\n' "$(awk -v s="$start" 'BEGIN { printf "%.3f", s / 1000 }')" "$(basename "$path")"
  i=$((i + 1))
done <"$work/log.txt"
[ "${#parts[@]}" -gt 0 ] || { echo "listen.sh: nothing was played" >&2; exit 1; }
sox "${parts[@]}" "$out"
echo "listen.sh: ${#parts[@]} sounds -> $out"
sox --i "$out"
