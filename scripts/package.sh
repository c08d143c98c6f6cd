#!/usr/bin/env bash
# Builds the Debian package build/orvik_<version>_<architecture>.deb with CPack from the release
# tree (installs what is missing and builds first). Install it with `sudo apt install ./build/orvik_*.deb`
# and remove it with `sudo apt remove orvik`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd build
cpack -G DEB
ls -1 "$PWD"/orvik_*.deb
