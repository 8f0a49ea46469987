#!/usr/bin/env bash
# The desktop notices seen by hand: the screenshot driver plays against the demo hall on a
# virtual X screen with a private session bus, dbus-monitor writes every Notify call, and dunst
# (when installed) shows the notices, taken as pictures. Builds nothing.
# Usage: scripts/notices.sh [build-folder] (default: build). Env: CARDS (cards to buy, 0 to let
# the sales close on the player), TICK_MS, SALES_SECONDS. Writes notices/ in the current folder.
set -uo pipefail
BUILD=$(cd "${1:-build}" && pwd)
OUT="$PWD/notices"; rm -rf "$OUT"; mkdir -p "$OUT"
WORK=$(mktemp -d)
TICK=${TICK_MS:-60}; SALES=${SALES_SECONDS:-120}
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$WORK"; }
trap cleanup EXIT
. "$(dirname "${BASH_SOURCE[0]}")/waitfor.sh"

DISP=:$(( 90 + $$ % 9 ))
Xvfb "$DISP" -screen 0 1024x768x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 & pids+=($!)
sleep 1
# A bus that starts no services: only what runs here answers.
cat > "$WORK/bus.conf" <<CONF
<busconfig><type>session</type><listen>unix:dir=$WORK</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy></busconfig>
CONF
dbus-daemon --config-file="$WORK/bus.conf" --print-address --nofork > "$WORK/address" & pids+=($!)
wait_for "unix:" 5 "$WORK/address"
BUS=$(head -1 "$WORK/address")
dbus-monitor --address "$BUS" "interface='org.freedesktop.Notifications'" > "$OUT/monitor.log" 2>&1 & pids+=($!)
if command -v dunst >/dev/null; then
  DISPLAY=$DISP DBUS_SESSION_BUS_ADDRESS=$BUS dunst > "$OUT/dunst.log" 2>&1 & pids+=($!)
else
  echo "no dunst: the notices are only in $OUT/monitor.log"
fi

BASE=$(( 30000 + ($$ % 20000) ))
REQ=$BASE; GAME=$((BASE + 1)); SALESP=$((BASE + 2))
"$BUILD/hall/bingo-hall" --web-port 0 --request-port $REQ --game-port $GAME --sales-port $SALESP \
    --chat-port1 $((BASE + 3)) --chat-port2 $((BASE + 4)) --chat-port3 $((BASE + 5)) \
    --tick-ms "$TICK" --sales-seconds "$SALES" --wait-seconds 2 --spacing 10 --seed 7 > "$OUT/hall.log" 2>&1 & pids+=($!)
wait_for "bingo-hall ready" 10 "$OUT/hall.log" || exit 1
WEB=$(sed -n 's/.*web=\([^ ]*\).*/\1/p' "$OUT/hall.log" | head -1)
case "$WEB" in *:*) ;; *) WEB="127.0.0.1:$WEB" ;; esac

dir="$WORK/client"; cp -r "$BUILD/app" "$dir"
printf 'UN:demo#WS:%s#AL:#DM:TRUE#SO:FALSE#V0:#V1:#V2:0#V3:#V4:0#V5:#V6:FALSE#V7:bingo#V8:Vexo Bingo#V9:#\r\n' "$WEB" > "$dir/defaults.cfg"
(cd "$dir" && DISPLAY=$DISP DBUS_SESSION_BUS_ADDRESS=$BUS exec "$BUILD/tests/vexobingo-screentest" \
   --program-folder "$dir" --no-sound --ports $REQ,$GAME,$SALESP --tick-ms "$TICK" --connect \
   --screen-test "${CARDS:-6}") > "$OUT/client.log" 2>&1 & pids+=($!)

# The window is not active on a screen without a window manager, so the notices go out.
shots=0
for _ in $(seq 1 240); do
  sleep 1
  n=$(grep -c 'member=Notify' "$OUT/monitor.log")
  if [ "$n" -gt "$shots" ]; then
    sleep 0.5; shots=$n
    DISPLAY=$DISP import -window root "$OUT/notice-$n.png"
  fi
  grep -q "screen-test: over\|You have left the game" "$OUT/client.log" && { sleep 3; break; }
  [ "${CARDS:-6}" = 0 ] && [ "$n" -ge 1 ] && { sleep 2; break; }
done
echo "$(grep -c 'member=Notify' "$OUT/monitor.log") notices; the calls in $OUT/monitor.log, pictures in $OUT"
