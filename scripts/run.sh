#!/usr/bin/env bash
# Installs what is missing, builds Harovan and starts it from the build folder,
# which holds the program with its data folder, atari.wav and ReadMe.html.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset run "$@"
cmake --build --preset run
exec ./build/harovan
