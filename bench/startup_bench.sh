#!/usr/bin/env bash
# Start-up of the client to the login dialog's first paint, and its peak memory,
# over several warm runs on a virtual display, with the start-up probe vexobingo-startup (the
# client as the program starts it) on the build's program folder.
# Usage: bench/startup_bench.sh [BUILD] [RUNS]
set -euo pipefail
BUILD=${1:-build}
RUNS=${2:-10}
PROBE="$BUILD/bench/vexobingo-startup"
FOLDER="$BUILD/app"
[ -x "$PROBE" ] || { echo "no $PROBE: build first" >&2; exit 1; }
[ -d "$FOLDER" ] || { echo "no program folder $FOLDER: build first" >&2; exit 1; }
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display
out=$(mktemp)
"$PROBE" --program-folder "$FOLDER" --no-sound >/dev/null 2>&1 || true   # warm the page cache
for _ in $(seq "$RUNS"); do
  "$PROBE" --program-folder "$FOLDER" --no-sound 2>/dev/null | grep '^startup:' | tee -a "$out"
done
ms=$(awk '{print $6}' "$out" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
mb=$(awk '{print $10}' "$out" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "median: ${ms} ms to the login dialog, peak memory ${mb} MB ($RUNS runs)"
rm -f "$out"
