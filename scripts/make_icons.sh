#!/usr/bin/env bash
# Renders the application icon res/icons/orvik.svg into the PNG sizes of the hicolor icon theme
# (res/icons/hicolor/NxN/apps/orvik.png). The program's window icon and the installed icons are
# these files. Run it after changing the SVG; it installs librsvg2-bin when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh librsvg2-bin
for size in 16 22 24 32 48 64 128 256; do
  dir=res/icons/hicolor/${size}x${size}/apps
  mkdir -p "$dir"
  rsvg-convert --width "$size" --height "$size" res/icons/orvik.svg --output "$dir/orvik.png"
done
echo "Rendered res/icons/hicolor/*/apps/orvik.png"
