#!/usr/bin/env bash
# Installs the build tree with scripts/install.sh into a temporary prefix that already holds files
# of other programs, moves the installed tree elsewhere as a whole and starts the moved program on
# the offscreen platform with a PNG (the picture has opened once its path is in the recent-file
# list, which the program writes as soon as a file is open). Then scripts/uninstall.sh must leave
# the moved prefix exactly as it was before, and the build tree's install_manifest.txt must be as it
# was. Needs no root and removes everything it made.
# Usage: install_test.sh BUILD-DIR PICTURE.png
set -euo pipefail
build=$1
picture=$2
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
work=$(mktemp -d)
pid=
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT

# Every entry with its type, mode and content.
snapshot() {
  (cd "$1" && find . -printf '%P %y %m\n' | sort && find . -type f -exec md5sum {} + | sort)
}
manifest_state() {
  md5sum "$build/install_manifest.txt" 2>/dev/null || echo "no install_manifest.txt"
}

# Another program's files, its launcher cache among them.
prefix=$work/installed
mkdir -p "$prefix/bin" "$prefix/share/applications" "$prefix/share/metainfo"
echo other > "$prefix/bin/other"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other %%f\nMimeType=image/png;\n' \
  > "$prefix/share/applications/other.desktop"
update-desktop-database "$prefix/share/applications"
before=$(snapshot "$prefix")
manifest_before=$(manifest_state)

ORVIK_BUILD_DIR=$build "$scripts/install.sh" "$prefix" >/dev/null
mv "$prefix" "$work/moved"
tree=$work/moved
for file in bin/orvik lib/orvik/libimgkit.so lib/orvik/libquantz.so share/applications/orvik.desktop \
            share/metainfo/org.orvik.Orvik.metainfo.xml share/icons/hicolor/scalable/apps/orvik.svg \
            share/icons/hicolor/16x16/apps/orvik.png share/icons/hicolor/256x256/apps/orvik.png \
            share/doc/orvik/guide.md share/doc/orvik/images/start.png share/doc/orvik/copyright \
            share/man/man1/orvik.1.gz; do
  [ -f "$tree/$file" ] || { echo "not installed: $file"; exit 1; }
done
grep -q 'orvik.desktop' "$tree/share/applications/mimeinfo.cache" || { echo "the launcher cache lacks Orvik"; exit 1; }

cp "$picture" "$work/picture.png"
mkdir -m 700 "$work/runtime"
env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
  XDG_RUNTIME_DIR="$work/runtime" \
  "$tree/bin/orvik" "$work/picture.png" &
pid=$!
settings="$work/config/Local AppWizard-Generated Applications/Orvik.conf"
opened=
for _ in $(seq 150); do
  if grep -qF "$work/picture.png" "$settings" 2>/dev/null; then opened=1; break; fi
  kill -0 "$pid" 2>/dev/null || { echo "the program ended early"; exit 1; }
  sleep 0.2
done
[ -n "$opened" ] || { echo "the PNG did not open (libimgkit.so not found from the moved tree?)"; exit 1; }
echo "the moved program opened the PNG"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

"$scripts/uninstall.sh" "$tree" >/dev/null
[ "$(snapshot "$tree")" = "$before" ] || { echo "the uninstall did not leave the prefix as it was:"; diff <(echo "$before") <(snapshot "$tree"); exit 1; }
[ "$(manifest_state)" = "$manifest_before" ] || { echo "the build's install_manifest.txt changed"; exit 1; }
echo "the uninstall removed exactly what the install put there"
