#!/usr/bin/env bash
# The Debian package, made by CPack from the build tree into a folder of its own, passes lintian
# with no error and no warning.
# Usage: lintian_test.sh BUILD-DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
report=$(lintian --no-tag-display-limit "$deb" 2>&1 || true)
problems=$(grep -E '^[EW]: ' <<<"$report" || true)
if [ -n "$problems" ]; then
  echo "$problems"
  exit 1
fi
echo "lintian reports no errors and no warnings on $(basename "$deb")"
