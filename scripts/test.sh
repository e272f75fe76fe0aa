#!/usr/bin/env bash
# Installs what is missing, builds Harovan twice (plain, and with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs every test in both builds; then runs
# each fuzz target once over its seed corpus where clang's fuzzer runtime is
# installed.
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

# The fuzz targets want clang with its fuzzer runtime; a build of the core
# alone, run over the seed corpus only (seconds), not an open-ended search.
fuzz_cc=$(command -v clang-14 || command -v clang || true)
fuzz_cxx=$(command -v clang++-14 || command -v clang++ || true)
probe=$(mktemp -d)
if [ -n "$fuzz_cc" ] && [ -n "$fuzz_cxx" ] \
    && echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' \
        | "$fuzz_cxx" -x c++ -fsanitize=fuzzer,address,undefined -o "$probe/probe" - 2>/dev/null; then
    echo "=== Build: fuzz targets"
    cmake -S . -B build-test-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_C_COMPILER="$fuzz_cc" -DCMAKE_CXX_COMPILER="$fuzz_cxx" \
        -DHAROVAN_BUILD_TESTS=OFF -DHAROVAN_BUILD_FUZZERS=ON
    cmake --build build-test-fuzz -j "$jobs" --target harovan_fuzzers
    echo "=== Tests: fuzz targets over their seed corpus"
    if ! ctest --test-dir build-test-fuzz --output-on-failure; then
        status=1
    fi
else
    echo "=== Fuzz targets skipped: no clang with its fuzzer runtime (scripts/install-deps.sh installs them)"
fi
rm -rf "$probe"
exit $status
