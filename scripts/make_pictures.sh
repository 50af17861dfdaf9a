#!/usr/bin/env bash
# Redraws the three grey line icons of the main window's picture boxes (assets/*.png).
# Needs ImageMagick 6 (`convert`). The results are committed; run this only to change them.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/assets"
mkdir -p "$out"
grey='#808080'
strip=(-define png:exclude-chunks=date,time +set date:create +set date:modify -strip)

# Smiling face, 27 x 21: the chat client's sticker-panel button.
convert -size 27x21 xc:none -fill none -stroke "$grey" -strokewidth 1.5 \
  -draw 'circle 13.5,10.5 13.5,1.5' \
  -draw 'path "M 9,12.5 Q 13.5,17 18,12.5"' \
  -fill "$grey" -stroke none \
  -draw 'circle 10.5,8 10.5,6.8' -draw 'circle 16.5,8 16.5,6.8' \
  "${strip[@]}" "PNG32:$out/smiling_face.png"

# Heart, 30 x 24, transparent around the outline: the collected-stickers tab.
convert -size 30x24 xc:none -fill none -stroke "$grey" -strokewidth 1.6 \
  -draw 'path "M 15,21.5 C 10,17.5 3,13 3,8 C 3,4.5 5.5,2.5 8.5,2.5 C 11.5,2.5 13.5,4.5 15,6.5 C 16.5,4.5 18.5,2.5 21.5,2.5 C 24.5,2.5 27,4.5 27,8 C 27,13 20,17.5 15,21.5 Z"' \
  "${strip[@]}" "PNG32:$out/heart.png"

# Folder, 20 x 19: the chat client's file button.
convert -size 20x19 xc:none -fill none -stroke "$grey" -strokewidth 1.3 \
  -draw 'path "M 1.5,3.5 L 7,3.5 L 9,5.5 L 18.5,5.5 L 18.5,16.5 L 1.5,16.5 Z"' \
  -draw 'line 1.5,8 18.5,8' \
  "${strip[@]}" "PNG32:$out/folder.png"
