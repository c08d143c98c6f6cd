#!/usr/bin/env bash
# Makes the user guide's screenshots docs/images/*.png again, in one command: builds the program and
# its screenshot driver (docs/screenshots/), then runs the driver on a virtual X display (xvfb-run) of
# 1024 x 768 in a fixed locale with settings of its own. The driver opens the sample pictures,
# uses every tool and dialog the guide describes and saves the screen after each step.
# Usage: scripts/screenshots.sh                  (English, locale en_US.UTF-8)
#        LOCALE=C.UTF-8 scripts/screenshots.sh  (the program's own texts)
set -euo pipefail
cd "$(dirname "$0")/.."
locale=${LOCALE:-en_US.UTF-8}
scripts/setup.sh xvfb xauth
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target orvik guide_screenshots imgkit quantz -j "$(nproc)"

# A fixed folder, so the file dialogs show the same path on every run.
work=/tmp/orvik-guide
rm -rf "$work"
mkdir -p "$work"
chmod 700 "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p docs/images
env -i PATH="$PATH" HOME="$work" LANG="$locale" LC_ALL="$locale" TZ=UTC XDG_CONFIG_HOME="$work/config" \
  XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 \
  xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -dpi 96 -nolisten tcp" \
  build/guide_screenshots res docs/images "$work"
echo "Screenshots are in docs/images/."
