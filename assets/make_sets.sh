#!/usr/bin/env bash
# Builds the content-set packages that the demo hall serves from its "/sounds/"
# folder, and the catalogue list it reads:
#
#   OUTDIR/cset1.exe cset2.exe   caller voices (150 files each: csNB1.wav .. csNO75a.wav)
#   OUTDIR/bset1.exe bset2.exe   fun-bingo shouts (bset11..bset13, bset21..bset24)
#   OUTDIR/aset1.exe aset2.exe   announcers (the nine announcer files each)
#   OUTDIR/sets.txt              one line per set: key number title qty
#
# Each package keeps the name the catalogues use on the wire ("cset2.exe") but
# is only data: a gzip-compressed ustar tar of the set's WAV files under plain
# file names, which the client checks and unpacks into its "sounds" folder
# itself. Nothing in it is run.
#
# Usage: assets/make_sets.sh OUTDIR
# Writes only into OUTDIR and a temporary folder that it removes; every run
# gives the same bytes. Needs espeak-ng, sox, tar and gzip.
set -euo pipefail

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi

here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=sound_common.sh
. "$here/sound_common.sh"

mkdir -p "$1"
outdir="$(cd "$1" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/vexo-sets.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"

RATE=11025

# key|number|title|voice|speed|pitch
CALLER_SETS=(
  "cset|1|Sam (American)|en-us+m1|160|45"
  "cset|2|Kate (British)|en-gb+f2|160|55"
)
ANNOUNCER_SETS=(
  "aset|1|Rosie (Scottish)|en-gb-scotland+f4|155|60"
  "aset|2|Max (Northern)|en-gb-x-gbclan+m3|155|45"
)
# Fun-bingo shouts: set number|title, then shout lines voice|speed|pitch|text.
BSET1_TITLE="Party Shouts"
BSET1=(
  "en-us+m3|170|70|Bingo! We have a winner!"
  "en-gb+f4|170|80|Hooray! Bingo!"
  "en-us+m1|165|60|House! Full house!"
)
BSET2_TITLE="Cheer Squad"
BSET2=(
  "en-us+f2|175|75|Bingo, bingo, bingo!"
  "en-gb-x-rp+m2|165|65|Yes! That's a bingo!"
  "en-us+f5|170|80|Winner, winner!"
  "en-gb-scotland+m4|165|60|Bingo! Congratulations!"
)

joblist="$work/jobs.txt"
: >"$joblist"
catalogue="$work/sets.txt"
: >"$catalogue"

for s in "${CALLER_SETS[@]}"; do
  IFS='|' read -r key num title voice speed pitch <<<"$s"
  dir="$work/$key$num"
  mkdir -p "$dir"
  caller_jobs "cs$num" "$dir" "$voice" "$speed" "$pitch" "$RATE" >>"$joblist"
  echo "$key $num $title 150" >>"$catalogue"
done

bset_jobs() {
  local num="$1" title="$2" k=0 line voice speed pitch text
  shift 2
  mkdir -p "$work/bset$num"
  for line in "$@"; do
    k=$((k + 1))
    IFS='|' read -r voice speed pitch text <<<"$line"
    echo "$voice|$speed|$pitch|$RATE|0.1|$work/bset$num/bset$num$k.wav|$text" >>"$joblist"
  done
  echo "bset $num $title $k" >>"$catalogue"
}
bset_jobs 1 "$BSET1_TITLE" "${BSET1[@]}"
bset_jobs 2 "$BSET2_TITLE" "${BSET2[@]}"

for s in "${ANNOUNCER_SETS[@]}"; do
  IFS='|' read -r key num title voice speed pitch <<<"$s"
  dir="$work/$key$num"
  mkdir -p "$dir"
  for name in "${ANNOUNCER_NAMES[@]}"; do
    p="$pitch"
    [ "$name" = bingo ] && p=$((pitch + 25))
    echo "$voice|$speed|$p|$RATE|0.1|$dir/$name.wav|${ANNOUNCER_TEXT[$name]}" >>"$joblist"
  done
  echo "$key $num $title ${#ANNOUNCER_NAMES[@]}" >>"$catalogue"
done

render_jobs "$joblist"

# write_package NAME: OUTDIR/NAME.exe, a gzip-compressed ustar tar of the files in
# $work/NAME under their plain names, in name order, with fixed owners, times and
# modes (0644: nothing in a set is a program).
write_package() {
  local name="$1" dir="$work/$1" target="$outdir/$1.exe"
  (cd "$dir" && find . -maxdepth 1 -type f -name '*.wav' -printf '%f\n' | LC_ALL=C sort) >"$work/$name.list"
  tar --format=ustar --sort=name --mtime=@0 --owner=0 --group=0 --numeric-owner \
    --mode=0644 -C "$dir" -c -f - -T "$work/$name.list" | gzip -n -6 >"$target.part"
  chmod 0644 "$target.part"
  mv -f "$target.part" "$target"
}

for name in cset1 cset2 bset1 bset2 aset1 aset2; do
  write_package "$name"
done
cp "$catalogue" "$outdir/sets.txt.part"
mv -f "$outdir/sets.txt.part" "$outdir/sets.txt"

echo "make_sets: $(cd "$outdir" && ls -1 ./*.exe | wc -l) packages and sets.txt in $outdir ($(du -ch "$outdir"/*.exe | tail -1 | cut -f1))"
