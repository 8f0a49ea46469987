#!/usr/bin/env bash
# Builds the client and the demo hall, starts the hall on loopback and the client
# against it. Sign in with the demo account printed below.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target vexobingo qzupdate bingo-hall bingo_assets bingo_hall_www bingo_hall_update

WEB_PORT=${WEB_PORT:-48080}
REQUEST_PORT=${REQUEST_PORT:-41000}
GAME_PORT=${GAME_PORT:-46000}
SALES_PORT=${SALES_PORT:-49990}
SALES_SECONDS=${SALES_SECONDS:-120}

ready=$(mktemp)
"$BUILD/hall/bingo-hall" --web-port "$WEB_PORT" --request-port "$REQUEST_PORT" --game-port "$GAME_PORT" \
  --sales-port "$SALES_PORT" --sales-seconds "$SALES_SECONDS" >"$ready" &
hall=$!
trap 'kill $hall 2>/dev/null; rm -f "$ready"' EXIT
for _ in $(seq 100); do grep -q ready "$ready" && break; sleep 0.1; done
grep ready "$ready" || { echo "the demo hall did not start" >&2; exit 1; }

cat <<MSG

  Vexo Bingo demo hall is running on 127.0.0.1.
  Sign in with   Player ID: demo    Password: bingo
  (other accounts: guest/bingo; "broke"/bingo runs out of credit after one card)

MSG
args=(--ports "$REQUEST_PORT,$GAME_PORT,$SALES_PORT" --web-host "127.0.0.1:$WEB_PORT")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running the client on a virtual display (xvfb-run)."
  xvfb-run -a -s "-screen 0 1024x768x24" "$BUILD/app/vexobingo" "${args[@]}"
else
  "$BUILD/app/vexobingo" "${args[@]}"
fi
