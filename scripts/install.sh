#!/usr/bin/env bash
# Installs the release build (scripts/build.sh) into PREFIX, by default ~/.local, and refreshes the
# menu and icon caches there. What the install put under PREFIX (its files, the folders it made and
# the caches it started) is listed, relative to PREFIX, in PREFIX/share/orvik/install-manifest.txt;
# scripts/uninstall.sh PREFIX removes exactly that. Installing again into the same PREFIX updates
# the list and removes files an older install left that this one no longer has. The list stays
# right when the installed tree is moved as a whole. The build tree's own install_manifest.txt is
# left as it was.
# Usage: scripts/install.sh [PREFIX]   (environment: ORVIK_BUILD_DIR, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVIK_BUILD_DIR:-$root/build}
prefix=${1:-$HOME/.local}
manifest_name=share/orvik/install-manifest.txt

[ -f "$build/cmake_install.cmake" ] || { echo "install.sh: no build in $build (run scripts/build.sh)" >&2; exit 1; }
made_prefix=
[ -d "$prefix" ] || made_prefix=1
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
manifest=$prefix/$manifest_name

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A component install writes install_manifest_Unspecified.txt, never the build's install_manifest.txt.
install_build() {
  cmake --install "$build" --prefix "$prefix" --component Unspecified >/dev/null
}

# What the install will hold, staged first so the folders it will make are known.
DESTDIR=$work/stage install_build
stage=$work/stage$prefix
mkdir -p "$stage/$(dirname "$manifest_name")"
(cd "$stage" && find . -mindepth 1 \( -type f -o -type l \) -printf '%P\n' | sort) > "$work/files"
echo "$manifest_name" >> "$work/files"

# Folders: those an earlier install made and that are still there, and those this one makes.
: > "$work/folders"
if [ -f "$manifest" ]; then
  sed -n 's/^folder //p' "$manifest" | while IFS= read -r d; do
    if [ -d "$prefix/$d" ]; then echo "$d"; fi
  done >> "$work/folders"
  # Files of the earlier install that this one does not bring again go (its caches too: they are
  # made again below, and stay this install's own).
  sed -n 's/^file //p' "$manifest" | sort > "$work/old-files"
  comm -23 "$work/old-files" <(sort "$work/files") | while IFS= read -r f; do
    rm -f "$prefix/$f"
  done
fi
[ -n "$made_prefix" ] && echo "." >> "$work/folders"
(cd "$stage" && find . -mindepth 1 -type d -printf '%P\n') | while IFS= read -r d; do
  if [ ! -d "$prefix/$d" ]; then echo "$d"; fi
done >> "$work/folders"

install_build
mkdir -p "$(dirname "$manifest")"

# The desktop's caches: one this install starts is its own; one that was there only changes.
caches=()
refresh() {  # folder, cache file, command...
  local folder=$1 cache=$2
  shift 2
  [ -d "$prefix/$folder" ] && command -v "$1" >/dev/null || return 0
  [ -e "$prefix/$folder/$cache" ] || caches+=("$folder/$cache")
  "$@" "$prefix/$folder" >/dev/null 2>&1 || true
}
refresh share/applications mimeinfo.cache update-desktop-database -q
refresh share/icons/hicolor icon-theme.cache gtk-update-icon-cache -q -f -t

{
  echo "# Installed by Orvik's scripts/install.sh; scripts/uninstall.sh removes what is listed here."
  echo "# Paths are relative to the prefix that holds this file."
  sed 's/^/file /' "$work/files"
  for cache in "${caches[@]}"; do
    if [ -e "$prefix/$cache" ]; then echo "file $cache"; fi
  done
  sort -u "$work/folders" | sed 's/^/folder /'
} > "$manifest"
echo "Orvik is installed in $prefix ($prefix/bin/orvik)."
