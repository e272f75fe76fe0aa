#!/usr/bin/env bash
# Installs what is missing, builds Harovan and starts it from the build folder,
# which holds the program with its data folder, atari.wav and ReadMe.html.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHAROVAN_BUILD_TESTS=OFF "$@"
cmake --build build --target harovan
exec ./build/harovan
