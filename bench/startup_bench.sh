#!/usr/bin/env bash
# Start-up of the client to the login dialog's first paint, and its peak memory, measured in
# pairs against an empty Qt program showing a small dialog (vexobingo-startup-empty): each run
# starts one and then the other on the same virtual display, so both see the same machine.
# Prints the medians of both and the medians of the per-pair ratios.
# Usage: bench/startup_bench.sh [BUILD] [RUNS]
set -euo pipefail
BUILD=${1:-build}
RUNS=${2:-15}
PROBE="$BUILD/bench/vexobingo-startup"
EMPTY="$BUILD/bench/vexobingo-startup-empty"
FOLDER="$BUILD/app"
for p in "$PROBE" "$EMPTY"; do [ -x "$p" ] || { echo "no $p: build first" >&2; exit 1; }; done
[ -d "$FOLDER" ] || { echo "no program folder $FOLDER: build first" >&2; exit 1; }
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
out=$(mktemp)
trap 'kill $xvfb 2>/dev/null; rm -f "$out"' EXIT
sleep 1
export DISPLAY=$display
field() { grep '^startup:' | awk -v f="$1" '{print $f}'; }
# Warm the page cache for both.
"$PROBE" --program-folder "$FOLDER" --no-sound >/dev/null 2>&1 || true
"$EMPTY" >/dev/null 2>&1 || true
for _ in $(seq "$RUNS"); do
  client=$("$PROBE" --program-folder "$FOLDER" --no-sound 2>/dev/null | grep '^startup:')
  empty=$("$EMPTY" 2>/dev/null | grep '^startup:')
  echo "$client" | awk '{printf "client %s ms %s MB", $6, $10}'
  echo "$empty" | awk '{printf " | empty %s ms %s MB\n", $6, $10}'
  echo "$(echo "$client" | field 6) $(echo "$client" | field 10) $(echo "$empty" | field 6) $(echo "$empty" | field 10)" >>"$out"
done
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
cms=$(awk '{print $1}' "$out" | median)
cmb=$(awk '{print $2}' "$out" | median)
ems=$(awk '{print $3}' "$out" | median)
emb=$(awk '{print $4}' "$out" | median)
rms=$(awk '{printf "%.3f\n", $1 / $3}' "$out" | median)
rmb=$(awk '{printf "%.3f\n", $2 / $4}' "$out" | median)
echo "median: client ${cms} ms, peak ${cmb} MB; empty dialog ${ems} ms, peak ${emb} MB ($RUNS pairs)"
echo "median ratio of pairs: time ${rms}x, peak memory ${rmb}x"
