#!/usr/bin/env bash
# Installs what is missing, builds Harovan twice (plain, and with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
status=0
for variant in plain asan; do
    dir=build-test-$variant
    sanitize=OFF
    [ "$variant" = asan ] && sanitize=ON
    echo "=== Build: $variant"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DHAROVAN_BUILD_TESTS=ON -DHAROVAN_SANITIZE=$sanitize
    cmake --build "$dir" -j "$jobs"
    echo "=== Tests: $variant"
    if ! (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"); then
        status=1
    fi
done
exit $status
