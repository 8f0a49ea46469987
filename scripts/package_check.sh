#!/usr/bin/env bash
# Checks the Debian package the way a player meets it: builds it, installs it with apt, starts
# the installed demo hall and the installed client as a normal user under a virtual X screen,
# lets the client sign in, buys two cards with the client's keys (as a player without a mouse
# would: xdotool types them) and lets the game play, and then shows that everything the client
# wrote is in that user's own folder (~/.local/share/vexobingo) and nothing in the installed one.
# Checks the package with lintian before installing it (any error, warning or information fails
# the check; what the package itself overrides is shown with its reason) and ends with the
# AppStream and desktop-entry validators on the installed files. Not part of CI.
#
# Usage (as root, or it asks sudo): scripts/package_check.sh [build-folder] (default: build-pkg)
# CHECK_USER names the player's account (default vexocheck, made when missing); its
# ~/.local/share/vexobingo is emptied first. The player gets what a desktop session gives: a
# runtime folder /run/user/UID and a PulseAudio server (with a null sink), so the client plays
# its sounds through the GStreamer elements the package depends on; NO_SOUND=1 skips that and
# starts the client with --no-sound. The screenshot lands in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || exec sudo "$0" "$@"

BUILD=$(mkdir -p "${1:-build-pkg}" && cd "${1:-build-pkg}" && pwd)
PLAYER=${CHECK_USER:-vexocheck}
TICK=${TICK_MS:-60}          # real milliseconds per game second
INSTALLED=/usr/lib/vexobingo
APP_ID=org.vexobingo.VexoBingo

WORK=$(mktemp -d)
chmod 755 "$WORK"
XVFB_PID=""
HALL_PID=""
CLIENT_PID=""
PULSE_PID=""
SUBSCRIBE_PID=""
FEED_PIDS=()
RUNTIME_MADE=""
cleanup() {
    for pid in "$CLIENT_PID" "${FEED_PIDS[@]}" "$HALL_PID" "$SUBSCRIBE_PID" "$PULSE_PID" "$XVFB_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    [ -n "$RUNTIME_MADE" ] && rm -rf "$RUNTIME_MADE"
    rm -rf "$WORK"
}
trap cleanup EXIT

say() { printf '\n== %s\n' "$*"; }

. scripts/waitfor.sh   # the script runs from the top folder

# Every file and link under the installed folder with its size, mode and modification time.
listing() { find "$INSTALLED" -printf '%p %y %s %m %T@\n' | sort; }

say "building the package"
DEB=$(scripts/package.sh "$BUILD" | tail -1)
echo "$DEB ($(du -h "$DEB" | cut -f1))"
dpkg-deb -f "$DEB" Version Depends Recommends

say "lintian"
# As a normal user: lintian advises against running it as root. Any error, warning or information
# fails the check. The tags the package overrides are listed (O:) with the reasons its overrides
# file gives (N:); lintian counts a shown override at its tag's level, so the verdict is read from
# the E:, W: and I: lines. Pedantic and experimental tags are not shown: they ask for a layout the
# program folder cannot have (its pictures beside its programs under /usr/lib, found through the
# executable's own folder).
install -d -o nobody "$WORK/lintian"
install -m 644 -o nobody "$DEB" "$WORK/lintian/"
if ! (cd "$WORK/lintian" && runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME="$WORK/lintian" \
        TMPDIR="$WORK/lintian" LANG=C.UTF-8 lintian --display-info --show-overrides --fail-on none \
        "$(basename "$DEB")") > "$WORK/lintian.log" 2>&1; then
    cat "$WORK/lintian.log" >&2
    echo "lintian could not check the package" >&2
    exit 1
fi
cat "$WORK/lintian.log"
if grep -q '^[EWI]: ' "$WORK/lintian.log"; then
    echo "lintian found faults in the package" >&2
    exit 1
fi
echo "lintian: no errors, warnings or information; $(grep -c '^O: ' "$WORK/lintian.log") tag(s) overridden"

say "installing it with apt"
if dpkg-query -W -f='${Status}' vexobingo 2>/dev/null | grep -q "install ok installed"; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq vexobingo >/dev/null
fi
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$DEB" > "$WORK/apt.log" 2>&1; then
    cat "$WORK/apt.log" >&2
    exit 1
fi
sed -n '/^The following NEW/,/^[^ ]/p' "$WORK/apt.log" | sed '$d'
grep "^Setting up" "$WORK/apt.log"
dpkg-query -W -f='${Package} ${Version} ${Status}\n' vexobingo
ls -l /usr/games/vexobingo /usr/games/bingo-hall
for command in vexobingo bingo-hall; do
    version=$(env -u DISPLAY -u WAYLAND_DISPLAY "/usr/games/$command" --version)
    echo "$version"
    if [ "$version" != "$command $(dpkg-deb -f "$DEB" Version)" ]; then
        echo "$command --version does not match the package" >&2
        exit 1
    fi
done
ls /usr/share/man/man6/vexobingo.6.gz /usr/share/man/man6/bingo-hall.6.gz /usr/share/doc/vexobingo

say "the player"
id "$PLAYER" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$PLAYER"
HOME_DIR=$(getent passwd "$PLAYER" | cut -d: -f6)
PLAYER_UID=$(id -u "$PLAYER")
OWN="$HOME_DIR/.local/share/vexobingo"
rm -rf "$OWN"
id "$PLAYER"
RUNTIME=/run/user/$PLAYER_UID
# As the player, with a clean environment: only what a desktop session would give. An array, not
# a function, so that a program started in the background has runuser's process id.
# PATH is a Debian user's default, which holds the games.
AS_PLAYER=(runuser -u "$PLAYER" -- env -i HOME="$HOME_DIR" USER="$PLAYER" LOGNAME="$PLAYER"
           PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games LANG=C.UTF-8)
if [ -z "${NO_SOUND:-}" ]; then
    AS_PLAYER+=(XDG_RUNTIME_DIR="$RUNTIME")
    if [ ! -d "$RUNTIME" ]; then
        install -d -m 700 -o "$PLAYER" -g "$PLAYER" "$RUNTIME"
        RUNTIME_MADE=$RUNTIME
    fi
fi

BASE=$(( 20000 + ($$ % 20000) ))
REQ=$BASE; GAME=$((BASE + 1)); SALES=$((BASE + 2)); WEB=127.0.0.1:$((BASE + 6))
PRICE_CENTS=50   # of a card face in the hall
# The demo account remembered in the player's own settings file, as a player who signed in before.
"${AS_PLAYER[@]}" mkdir -p "$OWN"
SOUND_ON=TRUE
[ -n "${NO_SOUND:-}" ] && SOUND_ON=FALSE
printf 'UN:demo#WS:%s#AL:#DM:TRUE#SO:%s#V0:#V1:#V2:0#V3:#V4:0#V5:#V6:FALSE#V7:bingo#V8:Vexo Bingo#V9:#\r\n' \
    "$WEB" "$SOUND_ON" |
    "${AS_PLAYER[@]}" tee "$OWN/defaults.cfg" > /dev/null
cp "$OWN/defaults.cfg" "$WORK/defaults.cfg.before"
echo "settings file $OWN/defaults.cfg names demo/bingo at $WEB"

listing > "$WORK/before.txt"
sleep 1   # so that every later write has a newer time than the mark
touch "$WORK/start"
sleep 1

say "starting the installed hall as $PLAYER"
"${AS_PLAYER[@]}" bingo-hall --web-port $((BASE + 6)) --request-port $REQ --game-port $GAME --sales-port $SALES \
    --chat-port1 $((BASE + 3)) --chat-port2 $((BASE + 4)) --chat-port3 $((BASE + 5)) \
    --tick-ms "$TICK" --sales-seconds 240 --wait-seconds 2 --spacing 10 --seed 7 --price 0.$PRICE_CENTS \
    > "$WORK/hall.log" 2>&1 &
HALL_PID=$!
wait_for "bingo-hall ready" 10 "$WORK/hall.log"
head -1 "$WORK/hall.log"

# The hall's two feeds, read as any listener reads them, tell the phases of its games: the sales
# feed says BUY1 while cards are on sale, the game feed announces the game on sale with its
# jackpot ($2), which grows by half of every sale, and starts it with its players ($3) and
# winning call ($5).
read_feed() {   # $1 = port
    exec 3<>"/dev/tcp/127.0.0.1/$1"
    while IFS= read -r line <&3; do printf '%s\n' "${line%$'\r'}"; done
}
read_feed "$SALES" > "$WORK/sales-feed.log" &
FEED_PIDS+=($!)
read_feed "$GAME" > "$WORK/game-feed.log" &
FEED_PIDS+=($!)
field() { sed -n "s/.*[$]$1\([^%]*\)%$1.*/\1/p"; }   # a tagged field of the lines on stdin
# Cents sold for a game so far: twice the growth of its jackpot since its first announcement.
sold_cents() {
    local jackpots first last
    jackpots=$(grep -F "\$0A%0\$8$1%8" "$WORK/game-feed.log" | field 2)
    first=$(head -1 <<< "$jackpots"); last=$(tail -1 <<< "$jackpots")
    echo $(( (10#${last/./} - 10#${first/./}) * 2 ))
}

say "starting the installed client as $PLAYER under Xvfb"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$WORK/display" > "$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
wait_for "[0-9]" 10 "$WORK/display"
DISPLAY_NAME=":$(cat "$WORK/display")"
echo "display $DISPLAY_NAME"
SOUND_OPTION=--no-sound
if [ -z "${NO_SOUND:-}" ]; then
    "${AS_PLAYER[@]}" pulseaudio -n --daemonize=no --exit-idle-time=-1 --load=module-null-sink \
        --load=module-native-protocol-unix > "$WORK/pulse.log" 2>&1 &
    PULSE_PID=$!
    for _ in $(seq 50); do "${AS_PLAYER[@]}" pactl info >/dev/null 2>&1 && break; sleep 0.2; done
    "${AS_PLAYER[@]}" pactl info | grep -E "^(Server String|Default Sink)"
    # The server's events tell each stream the client opens, however short its sound.
    "${AS_PLAYER[@]}" stdbuf -oL pactl subscribe > "$WORK/sound-events.log" 2>&1 &
    SUBSCRIBE_PID=$!
    SOUND_OPTION=
fi
"${AS_PLAYER[@]}" DISPLAY="$DISPLAY_NAME" vexobingo --connect $SOUND_OPTION \
    --ports $REQ,$GAME,$SALES --tick-ms "$TICK" > "$WORK/client.log" 2>&1 &
CLIENT_PID=$!

# The client plays by keyboard alone. Its main window is the one whose title holds the version
# (" v466"); with no window manager on this screen, xdotool gives the focus to a window before it
# types. The welcome pop-ups (news, "you are playing as", alias) close on Escape.
export DISPLAY="$DISPLAY_NAME"
MAIN=$(timeout 60 xdotool search --sync --onlyvisible --name ' v[0-9]' | head -1 || true)
[ -n "$MAIN" ] || { echo "the client's main window did not show" >&2; cat "$WORK/client.log" >&2; exit 1; }
xdotool windowsize "$MAIN" 1024 766   # the whole screen, so the game has room for its cards
keys() { xdotool windowfocus --sync "$MAIN" key --delay 100 "$@"; }
close_popups() {
    local w
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        [ "$w" = "$MAIN" ] || xdotool windowfocus --sync "$w" key Escape 2>/dev/null || true
    done
}
# Four faces (4) and Buy (Ctrl+B) on each card, Page Down to the next once the hall has sold the
# card, until CARDS cards are in one game; a sales period that ends first means starting again
# from the first card in the next. The hall was started with a face at PRICE_CENTS.
CARDS=2
buy_by_keys() {
    local game="" card=1 now bought
    for _ in $(seq 150); do
        close_popups
        if ! tail -1 "$WORK/sales-feed.log" | grep -q "ACKBUY1"; then
            sleep 0.5
            continue
        fi
        now=$(grep -F '$0A%0' "$WORK/game-feed.log" | tail -1 | field 8)
        if [ -z "$now" ]; then
            sleep 0.5
            continue
        fi
        if [ "$now" != "$game" ]; then
            [ -n "$game" ] && keys Page_Up Page_Up Page_Up Page_Up Page_Up
            game=$now
            card=1
        fi
        bought=$(( $(sold_cents "$game") / (4 * PRICE_CENTS) ))
        if [ "$bought" -ge "$CARDS" ]; then
            echo "bought $bought cards of four faces for game $game by keys"
            BOUGHT_GAME=$game
            return 0
        fi
        if [ "$bought" -ge "$card" ]; then
            keys Page_Down
            card=$((card + 1))
        fi
        keys 4
        sleep 0.5
        keys ctrl+b
        sleep 0.5
    done
    return 1
}
if ! buy_by_keys; then
    echo "the client did not buy $CARDS cards by its keys" >&2
    cat "$WORK/client.log" >&2
    exit 1
fi
wait_for "[$]0B%0[$]8$BOUGHT_GAME%8" 200 "$WORK/game-feed.log"
start=$(grep -F "\$0B%0\$8$BOUGHT_GAME%8" "$WORK/game-feed.log" | tail -1)
echo "game $BOUGHT_GAME started: $(field 3 <<< "$start") player(s) with cards, won on call $(field 5 <<< "$start")"
if [ -n "$PULSE_PID" ]; then
    # The calls are spoken while the game runs.
    if ! wait_for "'new' on sink-input" 20 "$WORK/sound-events.log"; then
        echo "the client played no sound" >&2
        cat "$WORK/client.log" >&2
        exit 1
    fi
    echo "sound streams the client opened on the null sink so far: $(grep -c "'new' on sink-input" \
        "$WORK/sound-events.log")"
fi
# The game is over when the hall puts the next one on sale.
wait_for "[$]0A%0[$]8$((BOUGHT_GAME + 1))%8" 400 "$WORK/game-feed.log"
echo "game $BOUGHT_GAME over: game $((BOUGHT_GAME + 1)) on sale"
sleep 1
/usr/bin/import -display "$DISPLAY_NAME" -window root "$BUILD/package-check.png"
echo "screenshot: $BUILD/package-check.png"
kill "$CLIENT_PID"
wait "$CLIENT_PID" 2>/dev/null || true
CLIENT_PID=""
kill "$HALL_PID"
wait "$HALL_PID" 2>/dev/null || true
HALL_PID=""
if [ -n "$PULSE_PID" ]; then
    kill "$SUBSCRIBE_PID" "$PULSE_PID"
    wait "$PULSE_PID" 2>/dev/null || true
    PULSE_PID=""
    SUBSCRIBE_PID=""
fi

say "what was written where"
listing > "$WORK/after.txt"
if diff "$WORK/before.txt" "$WORK/after.txt" > "$WORK/installed.diff"; then
    echo "installed folder $INSTALLED: unchanged ($(wc -l < "$WORK/after.txt") entries, same sizes, modes and times)"
else
    echo "installed folder $INSTALLED CHANGED:" >&2
    cat "$WORK/installed.diff" >&2
    exit 1
fi
# Each file system where a user may write, searched on its own.
stray=$(find / /tmp /var/tmp /dev/shm /run -xdev -user "$PLAYER" -newer "$WORK/start" \
        -not -path "$HOME_DIR" -not -path "$HOME_DIR/*" -not -path "$RUNTIME" -not -path "$RUNTIME/*" \
        -not -path "/tmp/vexobingo-runtime-$PLAYER_UID" -not -path "/tmp/vexobingo-runtime-$PLAYER_UID/*" 2>/dev/null |
        sort -u || true)
echo "player's own folder $OWN, files written during the run:"
find "$OWN" -newer "$WORK/start" -type f -printf '  %P (%s bytes)\n' | sort
if ! cmp -s "$WORK/defaults.cfg.before" "$OWN/defaults.cfg"; then
    echo "  defaults.cfg as the client saved it:"
    sed 's/^/    /' "$OWN/defaults.cfg"
fi
echo "elsewhere in $HOME_DIR (the libraries' caches and settings, not the client's):"
find "$HOME_DIR" -newer "$WORK/start" -type f -not -path "$OWN/*" -printf '  %P\n' | sort
echo "in the runtime folder (the sound server's socket and the like):"
find "$RUNTIME" "/tmp/vexobingo-runtime-$PLAYER_UID" -newer "$WORK/start" -printf '  %p\n' 2>/dev/null | sort || true
if [ -n "$stray" ]; then
    echo "written by $PLAYER anywhere else:" >&2
    echo "$stray" >&2
    exit 1
fi
echo "nothing else on this file system was written by $PLAYER"

say "validators"
appstreamcli validate --no-net "/usr/share/metainfo/$APP_ID.metainfo.xml"
desktop-file-validate "/usr/share/applications/$APP_ID.desktop"
echo "desktop-file-validate: no complaints"
ls /usr/share/icons/hicolor/*/apps/vexobingo.*
say "package check passed"
