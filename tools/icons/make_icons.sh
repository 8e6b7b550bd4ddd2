#!/usr/bin/env bash
# Makes the desktop icons from the emblem of the program's title picture (the
# round star chart at its right end), in the usual hicolor sizes. The icons
# are committed under data/icons; run this again after the title changes.
# Needs ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/../.."
src=app/resources/MAINTITLEE.png
for size in 16 22 24 32 48 64 128 256; do
  out=data/icons/hicolor/${size}x${size}/apps
  mkdir -p "$out"
  convert "$src" -crop 96x96+302+2 +repage -filter Lanczos -resize "${size}x${size}" \
    -strip "$out/quenlira.png"
done
