#!/bin/sh
# Draws Tolvane's pictures with ImageMagick (Debian: imagemagick, fonts-urw-base35):
#   core/resources/banner.png      480x160, the about box's banner
#   core/resources/banner@2x.png   960x320, the same for 200 % scale
#   core/resources/tolvane.png     256x256, the program icon
# Every shape is written once in the coordinates of the 1x picture and scaled,
# so both banners are drawn sharply rather than resized.
# Run from anywhere:  sh help/tools/make_images.sh
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/core/resources"
mkdir -p "$out"

fontdir=/usr/share/fonts/opentype/urw-base35
title_font="$fontdir/P052-Bold.otf"        # a Palatino-like serif
sub_font="$fontdir/NimbusSans-Regular.otf"
for f in "$title_font" "$sub_font"; do
  [ -f "$f" ] || { echo "missing font $f (install fonts-urw-base35)" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The emblem: a sheet of paper with a folded corner, three questions ticked off.
# Drawn in a 100x130 box; callers place and scale it with an affine transform.
emblem_mvg() {
  cat <<MVG
stroke-linejoin round
fill white stroke #c9d6d2 stroke-width 1.2
path 'M 8,4 L 72,4 L 92,24 L 92,122 Q 92,126 88,126 L 12,126 Q 8,126 8,122 Z'
fill #dfe9e6 stroke #c9d6d2
path 'M 72,4 L 72,20 Q 72,24 76,24 L 92,24 Z'
stroke none fill #1d5d73
rectangle 20,14 60,18
fill #9fb3b0
rectangle 20,22 50,24.5
MVG
  for y in 38 66 94; do
    cat <<MVG
push graphic-context
translate 0,$y
stroke #2f7d6e stroke-width 1.6 fill #eef6f3
roundrectangle 18,0 34,16 3,3
stroke #2e9e57 stroke-width 3.6 fill none stroke-linecap round
polyline 21.5,8 25.5,12.5 32,3
stroke none fill #8ea4a1
rectangle 42,2 82,5
rectangle 42,10 70,13
pop graphic-context
MVG
  done
  # a pencil laid across the lower corner
  cat <<MVG
stroke none
push graphic-context
affine -0.5,-0.866,0.866,-0.5,112,46
fill #e8a33a  rectangle 0,-5 46,5
fill #c9822a  rectangle 0,1.6 46,5
fill #f3d9b0  polygon 46,-5 46,5 58,0
fill #3a3a3a  polygon 54.4,-1.5 54.4,1.5 58,0
fill #d9625a  rectangle -8,-5 0,5
fill #b8b8b8  rectangle -2,-5 2,5
pop graphic-context
MVG
}

# draw_emblem SCALE X Y SIZE FILE: the emblem alone with its soft shadow on a
# transparent canvas of SIZE x SIZE pixels (1x coordinates), placed at X,Y.
draw_emblem() {
  es=$1 ex=$2 ey=$3 ew=$4 eh=$5 efile=$6
  { echo "viewbox 0 0 $((ew * es)) $((eh * es))"
    echo "affine $es,0,0,$es,$((ex * es)),$((ey * es))"
    echo "push graphic-context"
    echo "translate 50,65 rotate -5 translate -50,-65"
    emblem_mvg
    echo "pop graphic-context"; } > "$tmp/emblem.mvg"
  convert -size "$((ew * es))x$((eh * es))" xc:none -draw "$(cat "$tmp/emblem.mvg")" "$tmp/sheet.png"
  convert "$tmp/sheet.png" \
    \( +clone -background '#04202b' -shadow "55x$((3 * es))+$((2 * es))+$((3 * es))" \) \
    +swap -background none -layers merge +repage \
    -gravity northwest -crop "$((ew * es))x$((eh * es))+0+0" +repage "$efile"
}

banner() {
  s=$1 file=$2
  W=$((480 * s)) H=$((160 * s))
  convert -size "${W}x${H}" -define gradient:direction=east gradient:'#0d3550-#1f7a74' \
    \( -size "${W}x${H}" radial-gradient:'#ffffff-#000000' -evaluate multiply 0.35 \) \
    -compose screen -composite "$tmp/bg.png"
  # two faint arcs swinging across the right-hand side
  convert "$tmp/bg.png" -fill none -stroke '#ffffff22' -strokewidth "$((2 * s))" \
    -draw "affine $s,0,0,$s,0,0 ellipse 470,190 190,120 180,290" \
    -stroke '#ffffff14' -strokewidth "$((6 * s))" \
    -draw "affine $s,0,0,$s,0,0 ellipse 500,210 230,150 180,290" "$tmp/bg2.png"
  draw_emblem "$s" 26 8 150 150 "$tmp/em.png"
  convert "$tmp/bg2.png" "$tmp/em.png" -geometry +0+0 -composite \
    \( -size "${W}x${H}" xc:none -font "$title_font" -pointsize "$((62 * s))" \
       -fill '#00000066' -annotate "+$((156 * s + 2 * s))+$((88 * s + 3 * s))" 'Tolvane' -blur "0x$((2 * s))" \) \
    -composite \
    -font "$title_font" -pointsize "$((62 * s))" -fill white \
    -annotate "+$((156 * s))+$((88 * s))" 'Tolvane' \
    -fill '#f2c14e' -draw "rectangle $((159 * s)),$((101 * s)) $((218 * s)),$((103 * s))" \
    -font "$sub_font" -pointsize "$((15 * s))" -fill '#dcefea' \
    -annotate "+$((159 * s))+$((126 * s))" 'Test Paper Generation System' \
    -depth 8 -strip -define png:exclude-chunks=date,time "$file"
}

icon() {
  file=$1 S=256
  convert -size ${S}x${S} -define gradient:direction=southeast gradient:'#0d3550-#1f7a74' \
    \( -size ${S}x${S} xc:black -fill white -draw "roundrectangle 8,8 247,247 44,44" \) \
    -alpha off -compose copy_opacity -composite "$tmp/ibg.png"
  convert "$tmp/ibg.png" -fill none -stroke '#ffffff30' -strokewidth 3 \
    -draw "roundrectangle 11,11 244,244 41,41" "$tmp/ibg2.png"
  # the emblem at 1.6x, centred: its 100x130 box becomes 160x208
  draw_emblem 2 0 0 128 128 "$tmp/iem.png"
  convert "$tmp/iem.png" -resize 192x192 "$tmp/iem2.png"
  convert "$tmp/ibg2.png" "$tmp/iem2.png" -gravity center -geometry +0+4 -composite \
    -depth 8 -strip -define png:exclude-chunks=date,time "$file"
}

banner 1 "$out/banner.png"
banner 2 "$out/banner@2x.png"
icon "$out/tolvane.png"
echo "written: $out/banner.png $out/banner@2x.png $out/tolvane.png"
