#!/usr/bin/env bash
# Redraws the program icons (assets/icons/*.png and *.ico) in the grey line style of the main
# window's pictures: Pelloram's is a sticker with a peeled corner, the practice client's a chat
# bubble. Needs ImageMagick 6 (`convert`) and icoutils (`icotool`). The results are committed;
# run this only to change them.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/assets/icons"
mkdir -p "$out"
grey='#808080'
paper='#f7f7f7' # a light face, so the outline also reads on a dark task bar
fold='#dcdcdc'
# shellcheck disable=SC2054 # the commas belong to ImageMagick's option values
strip=(-define png:exclude-chunks=date,time +set date:create +set date:modify -strip)

# Each icon is drawn on a 32-unit grid and scaled, with the stroke chosen per size in pixels so
# the small sizes stay crisp instead of being shrunk from the large one.
declare -A stroke_px=([16]=1 [32]=1.5 [48]=2 [256]=8)

# draw NAME SIZE MVG...: one PNG of the icon at SIZE pixels.
draw() {
  local name=$1 size=$2
  shift 2
  local scale width
  scale="$(awk -v s="$size" 'BEGIN { print s / 32 }')"
  width="$(awk -v s="$size" -v w="${stroke_px[$size]}" 'BEGIN { print w * 32 / s }')"
  local args=()
  local mvg
  for mvg in "$@"; do args+=(-draw "stroke-linejoin round scale $scale,$scale $mvg"); done
  convert -size "${size}x${size}" xc:none -stroke "$grey" -strokewidth "$width" \
    "${args[@]}" "${strip[@]}" "PNG32:$out/$name-$size.png"
}

sizes=(16 32 48 256)
for size in "${sizes[@]}"; do
  # A sticker whose bottom-right corner peels off, with a smiling face on it.
  draw pelloram "$size" \
    "fill $paper path 'M 5,3 L 27,3 Q 29,3 29,5 L 29,20 L 20,29 L 5,29 Q 3,29 3,27 L 3,5 Q 3,3 5,3 Z'" \
    "fill $fold path 'M 29,20 L 21.5,20 Q 20,20 20,21.5 L 20,29 Z'" \
    "fill none circle 14,14 14,7.5" \
    "fill none path 'M 10.8,15.8 Q 14,19.2 17.2,15.8'" \
    "fill $grey stroke none circle 11.8,12 11.8,10.8" \
    "fill $grey stroke none circle 16.2,12 16.2,10.8"
  # A chat bubble with three dots: the stand-in chat client.
  draw practice_client "$size" \
    "fill $paper path 'M 8,5 L 24,5 Q 29,5 29,10 L 29,18 Q 29,23 24,23 L 14,23 L 8,28.5 L 9,23 L 8,23 Q 3,23 3,18 L 3,10 Q 3,5 8,5 Z'" \
    "fill $grey stroke none circle 10,14 10,12.4" \
    "fill $grey stroke none circle 16,14 16,12.4" \
    "fill $grey stroke none circle 22,14 22,12.4"
done

# The 256-pixel image stays PNG inside the .ico (-r), as Windows expects of that size.
for name in pelloram practice_client; do
  icotool -c -o "$out/$name.ico" "$out/$name-16.png" "$out/$name-32.png" "$out/$name-48.png" \
    -r "$out/$name-256.png"
done
