#!/usr/bin/env bash
# Screenshots of the client against the demo hall, under a virtual X screen, taken as the
# screenshot driver (build/tests/vexobingo-screentest, the client with a driver that buys cards
# and reports the game's phases) plays on a private copy of the program folder. Builds nothing.
# Usage: scripts/screenshots.sh [build-folder] (default: build). Writes shots/*.png in the current folder.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
HALL="$BUILD/hall/bingo-hall"
APP="$BUILD/app"
DRIVER="$BUILD/tests/vexobingo-screentest"
OUT="$PWD/shots"
TICK=${TICK_MS:-60}          # real milliseconds per game second
SALES=${SALES_SECONDS:-240}  # game seconds of the sales period
[ -x "$HALL" ] || { echo "no hall program at $HALL" >&2; exit 1; }
[ -d "$APP" ] || { echo "no program folder at $APP" >&2; exit 1; }
[ -x "$DRIVER" ] || { echo "no screenshot driver at $DRIVER (built with the tests)" >&2; exit 1; }
mkdir -p "$OUT"

if [ -z "${SCREENSHOTS_INNER:-}" ]; then
    # Re-run inside a virtual screen of 1024x768.
    exec env SCREENSHOTS_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$BUILD"
fi

WORK=$(mktemp -d)
HALL_PID=""
CLIENT_PID=""
cleanup() {
    [ -n "$CLIENT_PID" ] && kill "$CLIENT_PID" 2>/dev/null || true
    [ -n "$HALL_PID" ] && kill "$HALL_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

shot() { /usr/bin/import -window root "$OUT/$1.png"; echo "shot $1"; }

. "$(dirname "${BASH_SOURCE[0]}")/waitfor.sh"

BASE=$(( 20000 + ($$ % 20000) ))
REQ=$BASE; GAME=$((BASE + 1)); SALESP=$((BASE + 2))
"$HALL" --web-port 0 --request-port $REQ --game-port $GAME --sales-port $SALESP \
    --chat-port1 $((BASE + 3)) --chat-port2 $((BASE + 4)) --chat-port3 $((BASE + 5)) \
    --tick-ms "$TICK" --sales-seconds "$SALES" --wait-seconds 2 --spacing 10 --seed 7 > "$WORK/hall.log" 2>&1 &
HALL_PID=$!
wait_for "bingo-hall ready" 10 "$WORK/hall.log"
WEB=$(sed -n 's/.*web=\([^ ]*\).*/\1/p' "$WORK/hall.log" | head -1)
case "$WEB" in *:*) ;; *) WEB="127.0.0.1:$WEB" ;; esac
echo "hall web at $WEB"

# A private copy of the program folder with a remembered demo account.
run_client() {   # $1 = folder name, rest = options
    local dir="$WORK/$1"; shift
    cp -r "$APP" "$dir"
    printf 'UN:demo#WS:%s#AL:#DM:TRUE#SO:FALSE#V0:#V1:#V2:0#V3:#V4:0#V5:#V6:FALSE#V7:bingo#V8:Vexo Bingo#V9:#\r\n' "$WEB" > "$dir/defaults.cfg"
    (cd "$dir" && exec "$DRIVER" --program-folder "$dir" --no-sound --ports $REQ,$GAME,$SALESP --tick-ms "$TICK" "$@") > "$WORK/client.log" 2>&1 &
    CLIENT_PID=$!
}
stop_client() { kill "$CLIENT_PID" 2>/dev/null || true; wait "$CLIENT_PID" 2>/dev/null || true; CLIENT_PID=""; }

# 1. The login dialog at start.
run_client login --screen-test 0
wait_for "screen-test: started" 10 "$WORK/client.log"
sleep 1.5
shot 01-login
stop_client

# 2-4. Signed in: sales with card 1, a running game, the bingo picture.
run_client game --connect --screen-test 6
wait_for "screen-test: sales" 60 "$WORK/client.log"
sleep 0.8
shot 02-sales
wait_for "screen-test: bought" 60 "$WORK/client.log" || true
sleep 0.5
shot 03-bought
wait_for "screen-test: game" 120 "$WORK/client.log"
sleep 0.3
shot 04-game
wait_for "screen-test: bingo" 400 "$WORK/client.log"
sleep 1
shot 05-bingo
stop_client

# 6-8. Three skins (Woody, Green, Water), signed in during the sales period.
for skin in 1:woody 3:green 10:water; do
    run_client "skin${skin%%:*}" --connect --skin "${skin%%:*}" --screen-test 1
    wait_for "screen-test: sales" 400 "$WORK/client.log"
    wait_for "screen-test: bought" 60 "$WORK/client.log" || true
    sleep 1
    shot "06-skin-${skin##*:}"
    stop_client
done
# 9. My Games with two weeks of sample games (the picture the README shows as docs/my-games.png).
run_client mygames --my-games "$OUT/09-my-games.png"
wait_for "screen-test: my-games" 30 "$WORK/client.log"
stop_client
echo "screenshots in $OUT"
