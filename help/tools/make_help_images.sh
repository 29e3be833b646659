#!/bin/sh
# Draws the diagrams of the help file with ImageMagick (Debian: imagemagick,
# fonts-dejavu-core) into help/src/images/:
#   mainwindow.png  the layout of the main window
#   tree.png        a chapter tree with its three kinds of box
#   drawing.png     the two rounds of the automatic drawing
# Run from anywhere:  sh help/tools/make_help_images.sh
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="$here/../src/images"
mkdir -p "$out"

sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
for f in "$sans" "$bold"; do
  [ -f "$f" ] || { echo "missing font $f (install fonts-dejavu-core)" >&2; exit 1; }
done
finish="-depth 8 -strip -define png:exclude-chunks=date,time"

# A navigation button: button Y CAPTION [blue]
button() {
  frame='#000000'; light='#ffffff'
  [ "${3:-}" = blue ] && { frame='#1f4fd0'; light='#1f4fd0'; }
  cat <<MVG
stroke $light stroke-width 1 fill #c0dcc0 rectangle 18,$1 148,$(($1 + 24))
stroke $frame line 148,$1 148,$(($1 + 24)) line 18,$(($1 + 24)) 148,$(($1 + 24))
stroke none fill black font '$sans' font-size 11 text 28,$(($1 + 16)) '$2'
MVG
}

callout() { # callout X Y TEXT: an orange label box
  cat <<MVG
stroke #c0603a stroke-width 1.2 fill #fff4e6
roundrectangle $1,$2 $(($1 + $4)),$(($2 + 20)) 4,4
stroke none fill #8a3a1c font '$bold' font-size 10.5 text $(($1 + 7)),$(($2 + 14)) '$3'
MVG
}

{
  cat <<MVG
stroke #55606a stroke-width 1 fill #c0dcc0 rectangle 0.5,0.5 639.5,399.5
stroke none fill #2b4a66 rectangle 1,1 639,24
fill white font '$bold' font-size 11.5 text 10,17 'Tolvane Test Paper Generation'
fill #0d3550 font '$bold' font-size 11 text 20,50 'Test Paper'
MVG
  button 58 'Available Papers' blue
  button 88 'Auto Generation'
  button 118 'Manual Generation'
  echo "fill #0d3550 stroke none font '$bold' font-size 11 text 20,170 'Question Bank'"
  button 178 'Add Question'
  button 208 'Question Bank'
  button 238 'Options'
  button 360 'Close'
  cat <<MVG
stroke #000000 fill #c0dcc0 rectangle 470,32 530,54 rectangle 540,32 600,54
stroke none fill black font '$sans' font-size 11 text 487,47 'Help' text 552,47 'About'
fill #0d3550 font '$bold' font-size 14 text 170,82 'Draw available Test paper'
stroke #7d8b88 fill #ffffff rectangle 166,92 628,388
stroke #b8c9c5 fill #dfe9e6 rectangle 176,102 618,120
stroke #c9d6d2 fill none
line 176,136 618,136 line 176,152 618,152 line 176,168 618,168
stroke none fill #1c2b33 font '$sans' font-size 10 text 182,115 'Test_ID' text 330,115 'Test_Creator' text 470,115 'Difficulty'
fill #1c2b33 font '$sans' font-size 10.5 text 176,196 'Questions in Test'
stroke #b8c9c5 fill #dfe9e6 rectangle 176,204 618,222
stroke #c9d6d2 fill none line 176,238 618,238 line 176,254 618,254
stroke none fill #1c2b33 font '$sans' font-size 10 text 182,217 'Test_ID' text 300,217 'Question_Type' text 420,217 'Question_ID' text 520,217 'Question_Mark'
stroke #000000 fill #c0dcc0
rectangle 176,350 286,374 rectangle 296,350 406,374 rectangle 416,350 526,374
stroke none fill black font '$sans' font-size 11
text 196,366 'Preview Test' text 320,366 'Delete Test' text 434,366 'Save Answers'
MVG
  callout 14 270 '1  Navigation buttons' 140
  callout 300 290 '3  The page in view' 130
  callout 388 62 '2  Page heading' 104
  callout 14 330 '4  Ends Tolvane' 104
  echo "stroke #c0603a stroke-width 1.2 fill none"
  echo "line 84,270 84,264"
  echo "line 438,62 380,74"
  echo "line 60,350 60,358"
} > /tmp/tolvane_mainwindow.mvg
convert -size 640x400 xc:white -draw "$(cat /tmp/tolvane_mainwindow.mvg)" $finish "$out/mainwindow.png"

# tree.png: chapter 1 partly ticked (1.1 ticked, 1.2 not), chapter 2 ticked.
box() { # box X Y STATE(0 unticked, 1 ticked, 2 partly)
  echo "stroke #5b6f74 stroke-width 1 fill white rectangle $1,$2 $(($1 + 13)),$(($2 + 13))"
  case $3 in
    1) echo "stroke #1c7a3f stroke-width 2.2 fill none polyline $(($1 + 3)),$(($2 + 7)) $(($1 + 6)),$(($2 + 10)) $(($1 + 11)),$(($2 + 3))" ;;
    2) echo "stroke none fill #6f8f8a rectangle $(($1 + 3)),$(($2 + 3)) $(($1 + 10)),$(($2 + 10))" ;;
  esac
}
row() { # row LEVEL Y STATE TEXT [selected]
  x=$((14 + $1 * 22))
  if [ "${5:-}" = selected ]; then
    echo "stroke none fill #cfe0f5 rectangle $((x + 18)),$(($2 - 2)) $((x + 22 + ${#4} * 7)),$(($2 + 15))"
  fi
  box "$x" "$2" "$3"
  echo "stroke none fill #1c2b33 font '$sans' font-size 11.5 text $((x + 20)),$(($2 + 11)) '$4'"
}
{
  echo "stroke #9aa9a6 stroke-width 1 fill none rectangle 0.5,0.5 299.5,169.5"
  echo "stroke #b0bcb9 stroke-dasharray 1,2 line 21,30 21,78 line 21,56 36,56 line 21,78 36,78 line 21,110 21,154 line 21,132 36,132 line 21,154 36,154"
  echo "stroke-dasharray none"
  row 0 18 2 '1  Introduction'
  row 1 50 1 '1.1  Basic terms' selected
  row 1 72 0 '1.2  History'
  row 0 104 1 '2  Data structures'
  row 1 126 1 '2.1  Lists'
  row 1 148 1 '2.2  Trees'
} > /tmp/tolvane_tree.mvg
convert -size 300x170 xc:white -draw "$(cat /tmp/tolvane_tree.mvg)" $finish "$out/tree.png"

# drawing.png: round 1 (ticked sections, one question each), round 2 (whole type).
{
  cat <<MVG
stroke #9aa9a6 stroke-width 1 fill none rectangle 0.5,0.5 639.5,259.5
stroke none fill #0d3550 font '$bold' font-size 13 text 16,26 'For each type, in the order of the setup rows:'
stroke #1f7a74 stroke-width 1.5 fill #eef6f3 roundrectangle 16,40 300,200 8,8
stroke none fill #1d5d73 font '$bold' font-size 12 text 28,62 'Round 1: spread over the sections'
fill #1c2b33 font '$sans' font-size 10.5
text 28,84 'Questions of the type in random order.'
text 28,102 'Take one if its difficulty is still wanted,'
text 28,118 'its section is ticked, and that section'
text 28,134 'has not supplied one in this round.'
MVG
  for i in 0 1 2 3 4 5; do
    x=$((34 + i * 42))
    if [ $i -lt 4 ]; then fill='#2e9e57'; mark=1; else fill='#c9d6d2'; mark=0; fi
    echo "stroke #2f7d6e stroke-width 1 fill white rectangle $x,150 $((x + 30)),186"
    echo "stroke none fill $fill rectangle $((x + 4)),154 $((x + 26)),162"
    echo "fill #8ea4a1 rectangle $((x + 4)),168 $((x + 22)),171 rectangle $((x + 4)),176 $((x + 18)),179"
  done
  cat <<MVG
stroke none fill #5b6f74 font '$sans' font-size 9.5 text 30,198 'sections (green: used by this paper)'
stroke #c0603a stroke-width 2 fill #c0603a line 304,120 334,120 polygon 334,114 344,120 334,126
stroke none fill #8a3a1c font '$bold' font-size 9.5 text 308,98 'still' text 304,110 'short?'
stroke #c0603a stroke-width 1.5 fill #fbf0ea roundrectangle 348,40 624,200 8,8
stroke none fill #8a3a1c font '$bold' font-size 12 text 360,62 'Round 2: make up the rest'
fill #1c2b33 font '$sans' font-size 10.5
text 360,84 'From the whole type, ticked or not:'
text 360,102 'first easy, then medium, then hard,'
text 360,118 'in the order the bank keeps them,'
text 360,134 'skipping questions already taken.'
MVG
  for i in 0 1 2 3 4 5 6 7 8; do
    x=$((364 + i * 28))
    echo "stroke #c0603a stroke-width 1 fill white rectangle $x,152 $((x + 20)),182"
    echo "stroke none fill #8ea4a1 rectangle $((x + 3)),158 $((x + 17)),161 rectangle $((x + 3)),166 $((x + 14)),169"
  done
  cat <<MVG
stroke #c0603a stroke-width 2 fill none rectangle 362,150 442,184
stroke none fill #5b6f74 font '$sans' font-size 9.5 text 364,198 'the first suitable ones are taken'
fill #0d3550 font '$sans' font-size 10.5
text 16,228 'Then the next type: Multiple-choice, Fill-in-Blank, Type 3, Type 4, Type 5, Type 6.'
text 16,246 'A section used by an earlier type is not used again.'
MVG
} > /tmp/tolvane_drawing.mvg
convert -size 640x260 xc:white -draw "$(cat /tmp/tolvane_drawing.mvg)" $finish "$out/drawing.png"

rm -f /tmp/tolvane_mainwindow.mvg /tmp/tolvane_tree.mvg /tmp/tolvane_drawing.mvg
echo "written: $out/mainwindow.png $out/tree.png $out/drawing.png"
