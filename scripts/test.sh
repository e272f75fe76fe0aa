#!/usr/bin/env bash
# Installs what is missing, checks that the code is formatted, builds Harovan
# twice (plain, and with AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs every test in both builds; then runs each fuzz target once over its seed
# corpus where clang's fuzzer runtime is installed. The builds are the presets
# of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
status=0

echo "=== Format: the C++ sources against .clang-format"
if ! bash scripts/check-format.sh; then
    status=1
fi

for variant in plain asan; do
    echo "=== Build: $variant"
    cmake --preset "test-$variant"
    cmake --build --preset "test-$variant" -j "$jobs"
    echo "=== Tests: $variant"
    if ! ctest --preset "test-$variant" -j "$jobs"; then
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
    cmake --preset test-fuzz -DCMAKE_C_COMPILER="$fuzz_cc" -DCMAKE_CXX_COMPILER="$fuzz_cxx"
    cmake --build --preset test-fuzz -j "$jobs"
    echo "=== Tests: fuzz targets over their seed corpus"
    if ! ctest --preset test-fuzz; then
        status=1
    fi
else
    echo "=== Fuzz targets skipped: no clang with its fuzzer runtime (scripts/install-deps.sh installs them)"
fi
rm -rf "$probe"
exit $status
