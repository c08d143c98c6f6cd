#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvik with the given files (by default the sample
# picture that comes with the program).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
if [ $# -eq 0 ] && [ -f res/sample.bmp ]; then set -- res/sample.bmp; fi
exec build/orvik "$@"
