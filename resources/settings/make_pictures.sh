#!/bin/sh
# Draws the two decoration pictures of the settings window with ImageMagick.
# They were made once with this script and are committed beside it; run it
# again only to change them. Needs ImageMagick's convert (Debian: imagemagick).
set -eu
cd "$(dirname "$0")"

# "科室设置": red tulips in front of a white birch trunk, inside a black border
# with a thin yellow line; 578 x 850.
convert -size 578x850 gradient:'#9cc98a'-'#3f6e34' \
  -fill '#f4f1ea' -draw 'rectangle 230,0 350,850' \
  -fill '#2b2b2b' \
  -draw 'rectangle 240,90 300,100' -draw 'rectangle 290,210 345,218' -draw 'rectangle 232,330 280,341' \
  -draw 'rectangle 300,450 350,458' -draw 'rectangle 236,560 310,568' -draw 'rectangle 270,680 348,689' \
  -fill '#2f7d32' -stroke '#2f7d32' -strokewidth 9 \
  -draw 'line 120,470 140,800' -draw 'line 220,430 210,800' -draw 'line 300,500 290,800' \
  -draw 'line 390,440 380,800' -draw 'line 470,480 450,800' \
  -stroke none -fill '#3f9a3c' \
  -draw 'ellipse 110,690 28,90 0,360' -draw 'ellipse 250,700 26,95 0,360' -draw 'ellipse 420,700 28,92 0,360' \
  -fill '#d3121c' \
  -draw 'ellipse 120,440 48,62 0,360' -draw 'ellipse 220,400 46,60 0,360' -draw 'ellipse 300,470 50,64 0,360' \
  -draw 'ellipse 390,410 46,62 0,360' -draw 'ellipse 470,450 48,60 0,360' \
  -fill '#f03a35' \
  -draw 'ellipse 106,430 18,50 0,360' -draw 'ellipse 206,390 17,48 0,360' -draw 'ellipse 286,460 18,52 0,360' \
  -draw 'ellipse 376,400 17,50 0,360' -draw 'ellipse 456,440 18,48 0,360' \
  -fill '#8e0a12' \
  -draw 'polygon 72,400 95,372 120,400 145,372 168,400 168,420 72,420' \
  -draw 'polygon 174,360 197,332 220,360 243,332 266,360 266,380 174,380' \
  -draw 'polygon 250,430 275,400 300,430 325,400 350,430 350,450 250,450' \
  -draw 'polygon 344,370 367,342 390,370 413,342 436,370 436,390 344,390' \
  -draw 'polygon 422,410 446,382 470,410 494,382 518,410 518,430 422,430' \
  -blur 0x1.2 \
  -bordercolor '#f2d21b' -border 3 -bordercolor black -border 22 \
  -resize '578x850!' -quality 85 tulips.jpg

# "标题设置": two yellow striped butterflyfish over a coral reef; 600 x 450.
fish() {
  # $1 x, $2 y: body centre of a fish swimming left
  x=$1; y=$2
  printf "%s" "-fill '#f7d417' -draw 'ellipse $x,$y 70,48 0,360' \
    -draw 'polygon $((x+60)),$y $((x+115)),$((y-36)) $((x+115)),$((y+36))' \
    -fill '#1c1c1c' -draw 'rectangle $((x-30)),$((y-44)) $((x-18)),$((y+44))' \
    -draw 'rectangle $((x+8)),$((y-46)) $((x+16)),$((y+46))' \
    -draw 'rectangle $((x+34)),$((y-38)) $((x+40)),$((y+38))' \
    -fill white -draw 'circle $((x-46)),$((y-8)) $((x-38)),$((y-8))' \
    -fill black -draw 'circle $((x-46)),$((y-8)) $((x-42)),$((y-8))' "
}
eval convert -size 600x450 gradient:"'#3fa9e0'-'#0c3f7a'" \
  -fill "'#e46c4f'" -draw "'ellipse 90,430 130,70 0,360'" -draw "'ellipse 470,440 160,60 0,360'" \
  -fill "'#c9446e'" -draw "'ellipse 260,420 90,80 0,360'" -draw "'ellipse 560,400 60,90 0,360'" \
  -fill "'#f2a65a'" -draw "'ellipse 360,430 70,40 0,360'" -draw "'ellipse 20,400 50,70 0,360'" \
  -fill "'#7a4fa0'" -draw "'ellipse 170,440 40,55 0,360'" \
  -stroke "'#f5e3c8'" -strokewidth 10 \
  -draw "'line 420,430 400,330'" -draw "'line 400,330 370,300'" -draw "'line 400,330 430,290'" \
  -draw "'line 130,430 150,340'" -draw "'line 150,340 120,310'" -draw "'line 150,340 185,315'" \
  -stroke none \
  "$(fish 220 170)" "$(fish 420 250)" \
  -blur 0x1 -quality 85 butterflyfish.jpg
