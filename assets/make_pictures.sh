#!/bin/sh
# Regenerates every picture the client ships: balls, ball machine, banners,
# pattern grids, skin tiles, paging arrows and the dauber cursor.
#
# draw_pictures.py paints the shaded parts (pure Python, fixed seeds) into a
# work folder; this script letters them and converts them with ImageMagick.
# Run from anywhere; the results land in assets/program and assets/program/skins.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
prog="$here/program"
skins="$prog/skins"
IM=/usr/bin/convert          # by full path: /usr/local/bin may shadow it
FONT=DejaVu-Sans-Bold

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$prog" "$skins"

python3 "$here/draw_pictures.py" "$work" "$prog"
W="$work"

# Opaque picture -> GIF (dithered to 256 colours, no metadata).
opaque_gif() { $IM "$1" -alpha off -strip "$2"; }

# Picture with transparency -> GIF with one transparent colour.
clear_gif() { $IM "$1" -channel A -threshold 50% +channel +dither -strip "$2"; }

# ---------------------------------------------------------------- balls
for c in blu red bla gre yel; do
    opaque_gif "$W/ball_$c.pam" "$prog/bd$c.gif"
    opaque_gif "$W/ball_${c}_a.pam" "$prog/bd${c}a.gif"
done
opaque_gif "$W/ball_e_a.pam" "$prog/bde.gif"
opaque_gif "$W/machine.pam" "$prog/machine.gif"

# ---------------------------------------------------------------- logo
letters="B I N G O"
i=0
for l in $letters; do
    $IM "$W/logoball$i.pam" -font $FONT -pointsize 14 -fill '#111111' \
        -gravity center -annotate +0+1 "$l" "$W/lb$i.png"
    i=$((i + 1))
done
$IM "$W/logo_back.pam" \
    -font $FONT -pointsize 40 -kerning 5 -gravity north \
    -fill '#0b0820' -annotate +2+5 'VEXO' \
    -tile gradient:'#fff6c7'-'#ffb21e' -annotate +0+3 'VEXO' +tile \
    "$W/lb0.png" -gravity northwest -geometry +12+49 -composite \
    "$W/lb1.png" -geometry +46+49 -composite \
    "$W/lb2.png" -geometry +80+49 -composite \
    "$W/lb3.png" -geometry +114+49 -composite \
    "$W/lb4.png" -geometry +148+49 -composite \
    -alpha off -strip "$prog/logo.gif"

# ---------------------------------------------------------------- BINGO! banner
set -- '#ffd23f' '#ffffff' '#ff4f8b' '#ffd23f' '#5ee7ff' '#ffffff'
f=0
for colour in "$@"; do
    n=$(printf '%02d' $f)
    $IM "$W/bingo_$n.pam" -font $FONT -pointsize 42 -gravity center \
        -fill '#12072e' -stroke '#12072e' -strokewidth 8 -annotate +2+4 'BINGO!' \
        -stroke none -fill "$colour" -annotate +0+1 'BINGO!' \
        -alpha off "$W/bingo_$n.png"
    f=$((f + 1))
done
$IM -delay 18 -loop 0 "$W"/bingo_0*.png +dither -layers Optimize -strip "$prog/bingo.gif"

# ---------------------------------------------------------------- winners backdrop
$IM "$W/winnerbox.pam" -font $FONT -gravity north \
    -pointsize 26 -fill '#12072e' -stroke '#12072e' -strokewidth 5 -annotate +1+12 'WINNERS' \
    -stroke none -tile gradient:'#fff6c7'-'#ffb21e' -annotate +0+10 'WINNERS' +tile \
    -font DejaVu-Sans -pointsize 22 -fill '#ffd23f' \
    -annotate -98+12 '★' -annotate +98+12 '★' \
    -alpha off -strip "$prog/winnerbox.gif"

# ---------------------------------------------------------------- thanks picture
$IM "$W/thanks.pam" -background '#161236' -alpha remove -alpha off \
    -font DejaVu-Sans -pointsize 34 -gravity center -fill '#e0203f' -annotate +0-5 '♥' \
    -font $FONT -pointsize 11 -fill '#ffd23f' -gravity south -annotate +0+5 'THANK YOU!' \
    -strip "$prog/thanks.gif"

# ---------------------------------------------------------------- pattern grids
pattern() {  # name, then 1 for animated
    name=$1
    if [ "$(ls "$W/${name}"_*.pam | wc -l)" -gt 1 ]; then
        $IM -delay 60 -loop 0 "$W/${name}"_*.pam -alpha off +dither -layers Optimize -strip "$W/$name.gif"
    else
        $IM "$W/${name}_00.pam" -alpha off +dither -strip "$W/$name.gif"
    fi
}
for p in pat01 pat02 pat03 pat04 pat05 pat08 pat09 pat10 pat11; do
    pattern $p
    cp "$W/$p.gif" "$prog/$p.gif"
done
pattern pat07
# the jackpot badge in the middle of every frame
$IM "$W/pat07.gif" -coalesce -font $FONT -pointsize 10 -fill white -gravity center \
    -annotate +0+0 '$' +dither -layers Optimize -strip "$prog/pat07.gif"
$IM "$W/grid.pam" -alpha off +dither -strip "$prog/grid.gif"
$IM "$W/NAgrid.pam" -alpha off -font $FONT -pointsize 34 -gravity center \
    -fill '#0b0d1c' -stroke '#0b0d1c' -strokewidth 5 -annotate +0+1 '?' \
    -stroke none -fill '#c9ccd8' -annotate +0+1 '?' +dither -strip "$prog/NAgrid.gif"

# ---------------------------------------------------------------- skins
for f in "$W"/skin_*.pam; do
    name=$(basename "$f" .pam)
    name=${name#skin_}
    $IM "$f" -alpha off -type TrueColor -strip "BMP3:$skins/$name.bmp"
done
for arrow in maroonarrow tealarrow redarrow silverarrow Silverarrow navyarrow olivearrow greenarrow; do
    clear_gif "$W/${arrow}1.pam" "$skins/${arrow}1.gif"
    clear_gif "$W/${arrow}2.pam" "$skins/${arrow}2.gif"
done

echo "pictures written to $prog"
