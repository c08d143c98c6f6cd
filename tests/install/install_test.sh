#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, moves the installed tree elsewhere as a whole and
# starts the moved program on the offscreen platform with a PNG. The picture has opened once its
# path is in the recent-file list, which the program writes as soon as a file is open. Needs no root
# and removes everything it made.
# Usage: install_test.sh BUILD-DIR PICTURE.png
set -euo pipefail
build=$1
picture=$2
work=$(mktemp -d)
pid=
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/moved"
tree=$work/moved
for file in bin/orvik lib/orvik/libimgkit.so lib/orvik/libquantz.so share/applications/orvik.desktop \
            share/metainfo/org.orvik.Orvik.metainfo.xml share/icons/hicolor/scalable/apps/orvik.svg \
            share/icons/hicolor/16x16/apps/orvik.png share/icons/hicolor/256x256/apps/orvik.png \
            share/doc/orvik/guide.md share/doc/orvik/images/start.png share/doc/orvik/copyright \
            share/man/man1/orvik.1.gz; do
  [ -f "$tree/$file" ] || { echo "not installed: $file"; exit 1; }
done

cp "$picture" "$work/picture.png"
mkdir -m 700 "$work/runtime"
env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
  XDG_RUNTIME_DIR="$work/runtime" \
  "$tree/bin/orvik" "$work/picture.png" &
pid=$!
settings="$work/config/Local AppWizard-Generated Applications/Orvik.conf"
for _ in $(seq 150); do
  if grep -qF "$work/picture.png" "$settings" 2>/dev/null; then
    echo "the moved program opened the PNG"
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || { echo "the program ended early"; exit 1; }
  sleep 0.2
done
echo "the PNG did not open (libimgkit.so not found from the moved tree?)"
exit 1
