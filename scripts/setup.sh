#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Orvik need.
# Only missing packages are installed; a machine that has them all is left alone.
# Usage: scripts/setup.sh [extra-package ...]
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  # toolkit and codecs
  qt6-base-dev qt6-qpa-plugins libgl-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev libtiff-dev
  libwebp-dev
  # translations: Qt Linguist tools, and Qt's own translations of its standard dialogs
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  # tests, benchmarks, fuzzers (clang with its sanitizer and libFuzzer runtimes)
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  netpbm libjpeg-turbo-progs poppler-utils
  # pictures made by other programs, and their independent readers (codec tests, fuzz seeds,
  # benchmarks, the flips and rotations against ImageMagick)
  python3-pil imagemagick graphicsmagick webp libtiff-tools giflib-tools
  # checks of the launcher, the AppStream file and the Debian package
  desktop-file-utils appstream lintian
  # locale sources, from which a test builds a decimal-comma locale
  locales
  # the program's texts include Korean
  fonts-nanum
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
