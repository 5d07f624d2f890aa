#!/usr/bin/env bash
# Draws a photo-like 1600 x 1000 PNG of the back of a card for the image benchmark: the invented 2013-edition
# barcode text of bench/samples drawn as PDF417 by zint, on a card on a shaded table, slightly turned, softened and
# grainy as a phone camera leaves it. Needs zint and ImageMagick (scripts/bootstrap installs both).
# Usage: make_card_photo.sh OUT.png
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MAGICK_THREAD_LIMIT=1

zint --barcode=55 --binary --scale=2 --quietzones --input="$here/samples/aamva-2016-typical.txt" \
  --output="$work/symbol.png"
convert -size 1600x1000 gradient:'#d9d2c3'-'#6f7a86' \
  \( -size 1380x860 xc:'#f1ede4' -fill '#c9d3dc' -draw 'roundrectangle 0,0 1379,859 40,40' \
     -fill '#f1ede4' -draw 'roundrectangle 18,18 1361,841 30,30' \
     -fill '#9aa5b1' -draw 'rectangle 80,70 700,110' -draw 'rectangle 80,130 520,160' \) \
  -gravity center -composite \
  \( "$work/symbol.png" -background '#f1ede4' -rotate 2 \) -gravity center -geometry +0+60 -composite \
  -blur 0x0.8 -seed 3 -attenuate 0.25 +noise Gaussian -colorspace Gray -depth 8 "$out"
