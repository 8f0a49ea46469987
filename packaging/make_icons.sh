#!/bin/sh
# Draws the program's icon, a red bingo ball with a white face that carries a "V", as a
# scalable SVG and as PNGs at the hicolor theme's usual sizes. Both come from the same
# shapes below: the SVG is written as text, the PNGs are painted by ImageMagick from the
# same shapes in its own drawing language (its build here reads no SVG). The V is a
# polygon, not a letter of a font, so that no font changes the icon.
# Run from anywhere; the results land in packaging/icons and are checked in.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="$here/icons"
IM=/usr/bin/convert          # by full path: /usr/local/bin may shadow it
mkdir -p "$out"

# The shapes on a 256 x 256 canvas.
BALL_EDGE="#7a0d12"          # outline of the ball
BALL="#d7263d"               # body of the ball
SHADE="#a4161a"              # the lower-right shadow ring
FACE="#ffffff"
FACE_EDGE="#3b3b3b"
INK="#1d3557"                # the V
V_POINTS="86,82 112,82 128,140 144,82 170,82 140,178 116,178"

# ---------------------------------------------------------------- SVG
cat > "$out/vexobingo.svg" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <circle cx="128" cy="128" r="120" fill="$BALL_EDGE"/>
  <circle cx="128" cy="128" r="114" fill="$SHADE"/>
  <circle cx="120" cy="120" r="104" fill="$BALL"/>
  <ellipse cx="82" cy="62" rx="34" ry="16" transform="rotate(-35 82 62)" fill="#ffffff" fill-opacity="0.45"/>
  <circle cx="128" cy="128" r="70" fill="$FACE" stroke="$FACE_EDGE" stroke-width="4"/>
  <polygon points="$V_POINTS" fill="$INK"/>
</svg>
EOF

# ---------------------------------------------------------------- PNGs
# Painted four times larger than the largest size, then reduced, for smooth edges.
mvg="scale 4,4
fill '$BALL_EDGE' circle 128,128 128,8
fill '$SHADE' circle 128,128 128,14
fill '$BALL' circle 120,120 120,16
push graphic-context
  translate 82,62 rotate -35
  fill '#ffffff' fill-opacity 0.45 ellipse 0,0 34,16 0,360
pop graphic-context
fill '$FACE' stroke '$FACE_EDGE' stroke-width 4 circle 128,128 128,58
stroke none fill '$INK' polygon $(echo "$V_POINTS" | tr ' ' '\n' | tr '\n' ' ')"

big=$(mktemp --suffix=.png)
trap 'rm -f "$big"' EXIT INT TERM
$IM -size 1024x1024 xc:none -draw "$mvg" "$big"
for size in 16 32 48 64 128 256; do
    # No metadata, so that a second run makes the same bytes.
    $IM "$big" -filter Lanczos -resize "${size}x${size}" -strip -define png:exclude-chunks=date,time \
        "PNG32:$out/vexobingo-$size.png"
done
echo "icons in $out"
