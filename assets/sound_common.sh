#!/usr/bin/env bash
# Shared voice rendering for make_sounds.sh and make_sets.sh.
#
# A job is one line:  voice|speed|pitch|rate|tail|outfile|text
#   voice   espeak-ng voice, e.g. en-us+f3
#   speed   words per minute, pitch 0-99
#   rate    output sample rate in Hz (mono, 16-bit)
#   tail    seconds of silence kept after the words (the client queues
#           sounds back to back with no gap of its own)
#   outfile path of the WAV file to write
#   text    what is said (no "|" in it)
#
# Each file is spoken by espeak-ng, trimmed of the silence espeak puts around
# the words, resampled and normalised to -3 dBFS by sox. sox runs with -R so
# the same job always gives the same bytes (the files are checked in).
#
# Sourced: gives render_jobs, caller_jobs, digit_words, ball_letter and the
# announcer names and texts.
# Run as "sound_common.sh group FILE": renders one group of jobs (for xargs).
set -euo pipefail

SOUND_COMMON="${BASH_SOURCE[0]}"

# finish_line JOB RAW: trims, resamples and normalises the spoken RAW file
# into the job's output file.
finish_line() {
  local voice speed pitch rate tail out text
  IFS='|' read -r voice speed pitch rate tail out text <<<"$1"
  sox -R -V1 "$2" -r "$rate" -c 1 -b 16 -e signed-integer "$out.part.wav" \
    silence 1 0.01 0.3% reverse silence 1 0.01 0.3% reverse \
    pad 0.02 "$tail" norm -3
  mv -f "$out.part.wav" "$out"
}

# render_line JOB: one espeak-ng run for one job.
render_line() {
  local voice speed pitch rate tail out text raw
  IFS='|' read -r voice speed pitch rate tail out text <<<"$1"
  raw="$(mktemp "${TMPDIR:-/tmp}/vexo-voice.XXXXXX.wav")"
  espeak-ng -v "$voice" -s "$speed" -p "$pitch" -g 2 -w "$raw" -- "$text"
  finish_line "$1" "$raw"
  rm -f "$raw"
}

# render_group FILE: jobs that share voice, speed and pitch. espeak-ng starts
# slowly, so the whole group is spoken by one run with a long break after
# each phrase, and sox cuts the result at those breaks. Should the pieces not
# come out one per job, every job is spoken on its own instead.
render_group() {
  local file="$1" dir voice speed pitch rate tail out text i
  local -a jobs=() segs=()
  mapfile -t jobs <"$file"
  dir="$(mktemp -d "${TMPDIR:-/tmp}/vexo-group.XXXXXX")"
  IFS='|' read -r voice speed pitch rate tail out text <<<"${jobs[0]}"
  for i in "${!jobs[@]}"; do
    IFS='|' read -r voice speed pitch rate tail out text <<<"${jobs[$i]}"
    text="${text//&/&amp;}"; text="${text//</&lt;}"; text="${text//>/&gt;}"
    case "$text" in *[.!?]) ;; *) text+="." ;; esac
    printf '%s <break time="1500ms"/>\n' "$text"
  done >"$dir/say.txt"
  espeak-ng -m -v "$voice" -s "$speed" -p "$pitch" -g 2 -w "$dir/all.wav" -f "$dir/say.txt"
  sox -R -V1 "$dir/all.wav" "$dir/seg.wav" silence 1 0.01 0.3% 1 0.8 0.3% : newfile : restart
  # A piece with no samples (the silence after the last phrase) is a bare
  # 44-byte header.
  mapfile -t segs < <(find "$dir" -maxdepth 1 -name 'seg*.wav' -size +100c | LC_ALL=C sort)
  if [ "${#segs[@]}" -eq "${#jobs[@]}" ]; then
    for i in "${!jobs[@]}"; do
      finish_line "${jobs[$i]}" "${segs[$i]}"
    done
  else
    echo "note: $voice gave ${#segs[@]} pieces for ${#jobs[@]} phrases; speaking them one by one" >&2
    for i in "${!jobs[@]}"; do
      render_line "${jobs[$i]}"
    done
  fi
  rm -rf "$dir"
}

# render_jobs FILE: renders every job line of FILE. Jobs are grouped by voice,
# speed and pitch (keeping their order); two groups are rendered side by side.
render_jobs() {
  local gdir
  gdir="$(mktemp -d "${TMPDIR:-/tmp}/vexo-groups.XXXXXX")"
  awk -F'|' -v dir="$gdir" '
    NF >= 7 { key = $1 "|" $2 "|" $3 "|" $4
              if (!(key in group)) group[key] = sprintf("%s/g%04d.txt", dir, ++count)
              print > group[key] }' "$1"
  find "$gdir" -name 'g*.txt' -print0 | LC_ALL=C sort -z |
    xargs -0 -P "${VEXO_JOBS:-2}" -n 1 bash "$SOUND_COMMON" group
  rm -rf "$gdir"
}

# digit_words 12 -> "one, two"; digit_words 7 -> "seven"
digit_words() {
  local names=(zero one two three four five six seven eight nine) n="$1" out="" i
  for ((i = 0; i < ${#n}; i++)); do
    [ -n "$out" ] && out+=", "
    out+="${names[${n:i:1}]}"
  done
  printf '%s' "$out"
}

# ball_letter 46 -> G
ball_letter() {
  local n="$1"
  if ((n <= 15)); then echo B
  elif ((n <= 30)); then echo I
  elif ((n <= 45)); then echo N
  elif ((n <= 60)); then echo G
  else echo O
  fi
}

# caller_jobs PREFIX DIR VOICE SPEED PITCH RATE: the 150 job lines of one caller
# voice: PREFIX + B12.wav says "B, twelve", PREFIX + B12a.wav "one, two".
caller_jobs() {
  local prefix="$1" dir="$2" voice="$3" speed="$4" pitch="$5" rate="$6" n l
  for ((n = 1; n <= 75; n++)); do
    l="$(ball_letter "$n")"
    echo "$voice|$speed|$pitch|$rate|0.12|$dir/$prefix$l$n.wav|$l, $n"
    echo "$voice|$speed|$pitch|$rate|0.25|$dir/$prefix$l${n}a.wav|$(digit_words "$n")"
  done
}

# The nine announcer files and what each says ("Vekso" is how espeak-ng
# pronounces the hall's name right). The default set keeps its bingo shout as
# Bingo.wav; announcer sets ship it as bingo.wav (the client matches names
# without regard to case, and the installer removes the other spelling).
# shellcheck disable=SC2034 # used by the scripts that source this file
ANNOUNCER_NAMES=(welcome lastcall loginok nextgameis nosales reconnect saleson starting bingo)
# shellcheck disable=SC2034
declare -A ANNOUNCER_TEXT=(
  [welcome]="Welcome to Vekso Bingo!"
  [lastcall]="Last call for cards!"
  [loginok]="You're signed in. Good luck!"
  [nextgameis]="The next game is coming up."
  [nosales]="Card sales are now closed."
  [reconnect]="Reconnecting. Please wait."
  [saleson]="Cards are now on sale!"
  [starting]="Eyes down. The game is starting!"
  [bingo]="Bingo!"
)

if [ "${1-}" = group ]; then
  render_group "$2"
fi
