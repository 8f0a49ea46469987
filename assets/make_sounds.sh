#!/usr/bin/env bash
# Makes the client's own sounds in assets/program/sounds/: the default caller
# (B1.wav .. O75.wav and B1a.wav .. O75a.wav), the default announcer, the
# default bingo shout, the one-to-go call and the small effects. Voices come
# from espeak-ng, all files are mono 16-bit 16000 Hz, trimmed and normalised by sox.
#
# Usage: assets/make_sounds.sh [OUTDIR]   (default: assets/program/sounds)
# Writes only into OUTDIR and a temporary folder that it removes. The output
# is the same bytes on every run.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=sound_common.sh
. "$here/sound_common.sh"

out="${1:-$here/program/sounds}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/vexo-sounds.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"

RATE=16000
CALLER_VOICE="en-gb-x-rp"      # the house caller
HOST_VOICE="en-us+f3"          # the house announcer

joblist="$work/jobs.txt"
{
  caller_jobs "" "$out" "$CALLER_VOICE" 160 45 "$RATE"
  for name in "${ANNOUNCER_NAMES[@]}"; do
    [ "$name" = bingo ] && continue
    echo "$HOST_VOICE|155|55|$RATE|0.1|$out/$name.wav|${ANNOUNCER_TEXT[$name]}"
  done
  # The bingo shout: Bingo.wav serves both as the default shout and as the
  # announcer's bingo.wav (one file; names are matched regardless of case).
  echo "$HOST_VOICE|165|85|$RATE|0.1|$out/Bingo.wav|Bingo!"
  echo "$HOST_VOICE|165|75|$RATE|0.05|$work/youwin.wav|Bingo! You win!"
  echo "$HOST_VOICE|145|45|$RATE|0.1|$out/nobingo.wav|Sorry, no bingo yet."
  # onetogo.wav: a card is one number away from the pattern.
  echo "$HOST_VOICE|160|70|$RATE|0.05|$out/onetogo.wav|One to go!"
} >"$joblist"
render_jobs "$joblist"

# A lower-case bingo.wav beside Bingo.wav would be a second file for the same
# name; make sure only Bingo.wav is there.
rm -f "$out/bingo.wav"

# click.wav: a short wooden tick.
sox -R -V1 -n -r "$RATE" -c 1 -b 16 -e signed-integer "$out/click.wav" \
  synth 0.03 sine 1800 fade q 0.001 0.03 0.028 norm -3

# yesbingo.wav: a rising four-note chime, then the voice.
notes=()
for f in 523.25 659.25 783.99 1046.5; do
  sox -R -V1 -n -r "$RATE" -c 1 -b 16 -e signed-integer "$work/note$f.wav" \
    synth 0.11 pluck "$f" fade q 0.002 0.11 0.05
  notes+=("$work/note$f.wav")
done
sox -R -V1 "${notes[@]}" "$work/youwin.wav" -b 16 "$out/yesbingo.wav" norm -3

# null.wav: 0.2 s of silence, played while the content-set windows are open.
sox -R -D -V1 -n -r "$RATE" -c 1 -b 16 -e signed-integer "$out/null.wav" trim 0 0.2

count="$(find "$out" -maxdepth 1 -name '*.wav' | wc -l)"
echo "make_sounds: $count files in $out ($(du -sh "$out" | cut -f1))"
