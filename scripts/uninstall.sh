#!/usr/bin/env bash
# Removes an Orvik that scripts/install.sh put into PREFIX (by default ~/.local): exactly the files
# and the folders its PREFIX/share/orvik/install-manifest.txt lists, a folder only once it is
# empty, and nothing else. The menu and icon caches that were there before are refreshed.
# Usage: scripts/uninstall.sh [PREFIX]
set -euo pipefail
prefix=${1:-$HOME/.local}
manifest=$prefix/share/orvik/install-manifest.txt
[ -f "$manifest" ] || { echo "uninstall.sh: $manifest is missing: no Orvik was installed there by scripts/install.sh" >&2; exit 1; }
prefix=$(cd "$prefix" && pwd)

# Only paths inside the prefix are taken.
inside() {
  case "/$1/" in
    //*|*/../*|*/./*) return 1 ;;
  esac
}
entries() {  # kind
  sed -n "s/^$1 //p" "$manifest" | while IFS= read -r path; do
    if [ "$path" = . ] || inside "$path"; then echo "$path"; else echo "uninstall.sh: skipped $path" >&2; fi
  done
}

files=$(entries file)
folders=$(entries folder | sort -r)  # the deepest first
while IFS= read -r f; do
  if [ -n "$f" ] && { [ -f "$prefix/$f" ] || [ -L "$prefix/$f" ]; }; then rm -f "$prefix/$f"; fi
done <<< "$files"
while IFS= read -r d; do
  target=$prefix/$d
  if [ "$d" = . ]; then target=$prefix; fi  # the install made the prefix itself
  if [ -n "$d" ] && [ -d "$target" ]; then rmdir "$target" 2>/dev/null || true; fi
done <<< "$folders"

# Caches the install started went with its files; the others now leave out what it added.
if [ -f "$prefix/share/applications/mimeinfo.cache" ] && command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$prefix/share/applications" || true
fi
if [ -f "$prefix/share/icons/hicolor/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
  gtk-update-icon-cache -q -f -t "$prefix/share/icons/hicolor" || true
fi
echo "Orvik is removed from $prefix."
