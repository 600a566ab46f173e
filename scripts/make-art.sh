#!/usr/bin/env bash
# Draws the program icon and the main menu's ship picture from plain shapes with ImageMagick and
# writes them to resources/. Run it again after changing a shape; the PNG files are committed.
set -euo pipefail
res="$(cd "$(dirname "$0")/.." && pwd)/resources"
command -v convert >/dev/null || { echo "make-art.sh needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }

# Icon: a square split by its diagonals into four triangles (orange, red, blue, white) with a
# large black K in the middle. Drawn at 256 pixels and scaled down for the smaller sizes.
icon_big=$(mktemp --suffix=.png)
trap 'rm -f "$icon_big"' EXIT
convert -size 256x256 xc:white \
    -fill 'rgb(255,128,0)' -draw 'polygon 0,0 256,0 128,128' \
    -fill 'rgb(220,0,0)' -draw 'polygon 256,0 256,256 128,128' \
    -fill 'rgb(0,64,200)' -draw 'polygon 0,256 256,256 128,128' \
    -fill white -draw 'polygon 0,0 0,256 128,128' \
    -fill black -stroke black -strokewidth 2 \
    -draw 'polygon 70,36 104,36 104,112 160,36 200,36 136,120 204,220 162,220 104,136 104,220 70,220' \
    "$icon_big"
for size in 16 32 48 64 128 256; do
    convert "$icon_big" -resize ${size}x${size} -strip "PNG32:$res/icon-$size.png"
done
convert "$res/icon-16.png" "$res/icon-32.png" "$res/icon-48.png" "$res/icon-256.png" "$res/koerswacht.ico"

# Ship: a cargo ship with an orange hull, a white superstructure aft and two deck cranes, under way
# on a calm blue sea under a clear sky.
convert -size 640x300 gradient:'rgb(70,140,230)-rgb(190,225,255)' \
    \( -size 640x180 gradient:'rgb(40,110,180)-rgb(10,50,110)' \) -append \
    -fill 'rgb(255,250,215)' -draw 'circle 565,150 565,176' \
    -fill 'rgb(120,150,175)' -draw 'polygon 0,300 90,286 170,293 260,284 330,300' \
    -fill 'rgb(30,60,90)' -draw 'rectangle 0,299 640,301' \
    -fill 'rgb(160,190,220)' -draw 'polygon 60,342 560,342 540,350 80,350' \
    -fill 'rgb(235,95,10)' -draw 'polygon 40,262 560,262 600,250 584,318 80,318 52,300' \
    -fill 'rgb(150,30,20)' -draw 'polygon 80,318 584,318 580,332 96,332' \
    -fill 'rgb(250,250,250)' -draw 'rectangle 60,262 592,268' \
    -fill 'rgb(245,245,240)' -draw 'rectangle 70,190 160,262' \
    -fill 'rgb(245,245,240)' -draw 'rectangle 78,160 170,190' \
    -fill 'rgb(230,230,225)' -draw 'rectangle 86,140 176,160' \
    -fill 'rgb(40,60,90)' -draw 'rectangle 92,146 170,154' \
    -fill 'rgb(60,80,110)' -draw 'rectangle 80,200 150,206' -draw 'rectangle 80,216 150,222' -draw 'rectangle 80,232 150,238' \
    -fill 'rgb(220,80,10)' -draw 'rectangle 120,112 144,140' \
    -fill 'rgb(30,30,30)' -draw 'rectangle 120,108 144,114' \
    -fill 'rgb(40,90,140)' -draw 'rectangle 190,236 290,262' -draw 'rectangle 330,236 430,262' -draw 'rectangle 470,236 550,262' \
    -fill 'rgb(200,60,40)' -draw 'rectangle 196,222 284,236' -draw 'rectangle 336,222 424,236' \
    -fill 'rgb(240,200,40)' -draw 'rectangle 306,140 318,262' -draw 'rectangle 446,140 458,262' \
    -stroke 'rgb(240,200,40)' -strokewidth 6 -draw 'line 312,146 236,196' -draw 'line 452,146 376,196' \
    -stroke 'rgb(60,60,60)' -strokewidth 2 -draw 'line 312,140 236,196' -draw 'line 452,140 376,196' \
    -draw 'line 236,196 236,222' -draw 'line 376,196 376,222' \
    -stroke none -fill 'rgb(60,60,60)' -draw 'rectangle 300,136 324,146' -draw 'rectangle 440,136 464,146' \
    -fill 'rgb(250,250,250)' -draw 'polygon 578,304 624,308 612,322 584,318' \
    -fill 'rgb(255,255,255)' -draw 'polygon 584,318 640,314 640,326 596,330' \
    -fill 'rgb(200,225,245)' -draw 'polygon 20,320 84,324 80,332 0,336 0,324' \
    -fill 'rgb(255,255,255)' -draw 'rectangle 96,270 572,272' \
    -fill 'rgb(70,120,170)' -draw 'polygon 0,380 640,372 640,376 0,384' -draw 'polygon 0,430 640,440 640,444 0,434' \
    -strip "PNG24:$res/ship.png"
echo "wrote $res/icon-*.png, $res/koerswacht.ico and $res/ship.png"
