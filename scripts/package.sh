#!/usr/bin/env bash
# Builds the Debian package build/orvik_<version>_<architecture>.deb with CPack from the release
# tree (installs what is missing and builds first). Install it with `sudo apt install ./build/orvik_*.deb`
# and remove it with `sudo apt remove orvik`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd build
# CPack's install writes the build's install_manifest.txt; whatever was there before (the list of a
# user's own `cmake --install`) is put back, and nothing is left when there was none.
kept=$(mktemp)
if [ -f install_manifest.txt ]; then cp -p install_manifest.txt "$kept"; else rm -f "$kept"; fi
trap 'if [ -f "$kept" ]; then mv "$kept" install_manifest.txt; else rm -f install_manifest.txt; fi' EXIT
cpack -G DEB
ls -1 "$PWD"/orvik_*.deb
