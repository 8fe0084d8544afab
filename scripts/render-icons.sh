#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG drawings into data/icons/<size>/.
# The PNGs are committed; run this after changing a drawing (needs librsvg2-bin).
# 16, 22 and 24 pixels come from drawings made for those sizes, the others from the scalable one.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
id=app.wend.Wend
render() { mkdir -p "$2" && rsvg-convert -w "$2" -h "$2" "$1" -o "$2/$id.png"; }
render "src/$id-16.svg" 16
render "src/$id-24.svg" 24
# 22 pixels: the middle of the 24-pixel drawing, pixel for pixel.
sed 's/width="24" height="24" viewBox="0 0 24 24"/width="22" height="22" viewBox="1 1 22 22"/' \
  "src/$id-24.svg" >"/tmp/$id-22.svg"
render "/tmp/$id-22.svg" 22
rm "/tmp/$id-22.svg"
for size in 32 48 64 128 256; do
  render "$id.svg" "$size"
done
