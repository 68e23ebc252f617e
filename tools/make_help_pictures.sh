#!/usr/bin/env bash
# Draws the help page's three pictures with ImageMagick: the banner
# (320x88), the strip repeated beside it (20x88) and the pale landscape
# behind the page (1504x1000). Deterministic, so the committed files can be
# made again byte for byte on the same ImageMagick.
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/.." && pwd)/res/help}
mkdir -p "$out"

convert -size 320x88 gradient:'#17476f'-'#2f7fbf' \
  -fill '#ffcc00' -stroke '#6b5200' -draw 'circle 44,44 44,12' \
  -fill '#141414' -stroke none \
  -draw 'path "M 44,44 L 30,21 A 27,27 0 0,1 58,21 Z"' \
  -draw 'path "M 44,44 L 71,44 A 27,27 0 0,1 58,67 Z"' \
  -draw 'path "M 44,44 L 30,67 A 27,27 0 0,1 17,44 Z"' \
  -fill '#ffcc00' -draw 'circle 44,44 44,39' -fill '#141414' -draw 'circle 44,44 44,41' \
  -font DejaVu-Sans-Bold -pointsize 34 -fill white -draw 'text 90,56 "tessivar"' \
  -quality 90 "$out/logo_left3.jpg"

convert -size 20x88 gradient:'#17476f'-'#2f7fbf' "$out/logo_bg.gif"

convert -size 1504x1000 gradient:'#eef4fa'-'#f7f1e6' \
  -fill '#e9dfcc' -draw 'polygon 0,640 180,520 390,600 610,470 820,560 1040,450 1260,540 1504,480 1504,1000 0,1000' \
  -fill '#e2d3bb' -draw 'polygon 0,760 240,680 520,740 760,650 1010,720 1290,640 1504,700 1504,1000 0,1000' \
  -fill '#dccbb0' -draw 'polygon 0,880 300,820 640,870 980,800 1300,850 1504,820 1504,1000 0,1000' \
  -blur 0x3 -quality 80 "$out/gcanyon2009.lite.jpg"
