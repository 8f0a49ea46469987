#!/usr/bin/env bash
# Builds the content-set installers that the demo hall serves from its
# "/sounds/" folder, and the catalogue list it reads:
#
#   OUTDIR/cset1.exe cset2.exe   caller voices (150 files each: csNB1.wav .. csNO75a.wav)
#   OUTDIR/bset1.exe bset2.exe   fun-bingo shouts (bset11..bset13, bset21..bset24)
#   OUTDIR/aset1.exe aset2.exe   announcers (the nine announcer files each)
#   OUTDIR/sets.txt              one line per set: key number title qty
#
# Each installer is a POSIX sh script followed by a gzip-compressed tar of the
# set's WAV files (plain file names only). Run with sh, it unpacks them into
# the "sounds" folder beside itself and touches nothing else there but other
# spellings (letter case) of the same names.
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
MARKER="__VEXO_SOUNDS_PAYLOAD__"

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

# write_installer NAME: OUTDIR/NAME.exe from the files in $work/NAME.
write_installer() {
  local name="$1" dir="$work/$1" target="$outdir/$1.exe"
  (cd "$dir" && find . -maxdepth 1 -type f -name '*.wav' -printf '%f\n' | LC_ALL=C sort) >"$work/$name.list"
  {
    cat <<EOF
#!/bin/sh
# Vexo Bingo sound set "$name": unpacks $(wc -l <"$work/$name.list") sound files into the
# "sounds" folder beside this file. A gzip-compressed tar follows the marker line.
set -eu
case \$0 in */*) here=\${0%/*} ;; *) here=. ;; esac
dest="\$here/sounds"
mkdir -p "\$dest"
start=\$(awk '/^$MARKER\$/ { print NR + 1; exit }' "\$0")
if [ -z "\$start" ]; then echo "$name: damaged installer" >&2; exit 1; fi
names=\$(tail -n +"\$start" "\$0" | gzip -dc | tar -tf -)
if [ -z "\$names" ]; then echo "$name: damaged installer" >&2; exit 1; fi
for n in \$names; do
  case \$n in
    */* | .* | *[!A-Za-z0-9._-]*) echo "$name: refusing file name \$n" >&2; exit 1 ;;
  esac
done
# Remove other spellings of the same names (Bingo.wav for bingo.wav): the
# player looks sound names up without regard to letter case.
ls -A "\$dest" | awk -v list="\$names" '
  BEGIN { n = split(list, w, "\\n"); for (i = 1; i <= n; i++) { keep[w[i]] = 1; low[tolower(w[i])] = 1 } }
  (tolower(\$0) in low) && !(\$0 in keep) { print }' |
  while IFS= read -r old; do rm -f "\$dest/\$old"; done
tail -n +"\$start" "\$0" | gzip -dc |
  tar -x -f - -C "\$dest" --no-same-owner --no-same-permissions -- \$names # checked names, split on purpose
for n in \$names; do
  if [ ! -f "\$dest/\$n" ]; then echo "$name: could not unpack \$n" >&2; exit 1; fi
done
echo "$name: installed \$(echo "\$names" | wc -l) sounds into \$dest"
exit 0
$MARKER
EOF
    tar --format=ustar --sort=name --mtime=@0 --owner=0 --group=0 --numeric-owner \
      --mode=0644 -C "$dir" -c -f - -T "$work/$name.list" | gzip -n -6
  } >"$target.part"
  chmod 0755 "$target.part"
  mv -f "$target.part" "$target"
}

for name in cset1 cset2 bset1 bset2 aset1 aset2; do
  write_installer "$name"
done
cp "$catalogue" "$outdir/sets.txt.part"
mv -f "$outdir/sets.txt.part" "$outdir/sets.txt"

echo "make_sets: $(cd "$outdir" && ls -1 ./*.exe | wc -l) installers and sets.txt in $outdir ($(du -ch "$outdir"/*.exe | tail -1 | cut -f1))"
