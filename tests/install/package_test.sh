#!/usr/bin/env bash
# The Debian package's relations as CPack will write them: each package it depends on holds a
# library the program links or a platform plug-in it loads (shlibdeps adds the linked ones), the
# X11 plug-in comes with what it depends on, and the Wayland plug-in is recommended.
# Usage: package_test.sh BUILD-DIR
set -euo pipefail
build=$1
config=$build/CPackConfig.cmake
value() { sed -n "s/^set(CPACK_DEBIAN_PACKAGE_$1 \"\(.*\)\")$/\1/p" "$config"; }
names() { tr ',' '\n' <<<"$1" | sed 's/(.*//; s/|.*//; s/ //g' | grep -v '^$' || true; }
owner() { { dpkg -S "$1" 2>/dev/null || true; } | head -1 | cut -d: -f1; }
depends=$(names "$(value DEPENDS)")
recommends=$(names "$(value RECOMMENDS)")
plugins=$(qtpaths6 --plugin-dir)
linked=$(ldd "$build/orvik" | awk '/=> \// {print $3}' | while read -r lib; do owner "$(readlink -f "$lib")"; done | sort -u)

status=0
for package in $depends; do
  if ! grep -qx "$package" <<<"$linked" && ! dpkg -L "$package" 2>/dev/null | grep -qE '/platforms/libq(xcb|wayland)'; then
    echo "depends on $package, which holds nothing the program loads"
    status=1
  fi
done
xcb=$(owner "$plugins/platforms/libqxcb.so")
if [ -z "$xcb" ] || ! grep -qx "$xcb" <<<"$linked"$'\n'"$depends"; then
  echo "the X11 platform plug-in's package (${xcb:-none}) is not depended on"
  status=1
fi
grep -qx qt6-wayland <<<"$recommends" || { echo "qt6-wayland is not recommended"; status=1; }
[ $status -eq 0 ] && echo "the package depends on what the program loads and recommends qt6-wayland"
exit $status
