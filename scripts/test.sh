#!/usr/bin/env bash
# Installs what is missing, checks that the code is formatted, builds Harovan
# twice (plain, and with AddressSanitizer and UndefinedBehaviorSanitizer) with
# every warning an error and runs every test in both builds; runs clang-tidy's
# checks (.clang-tidy) over the program's code; builds the tests that use threads with
# ThreadSanitizer and runs them; runs each fuzz target once over its seed corpus
# where clang's fuzzer runtime is installed; and builds the program and runs its
# plain tests on Debian 13 in a root folder of its own (scripts/debian13.sh;
# HAROVAN_SKIP_DEBIAN13=1 leaves that out on a machine without root); and
# cross-builds the Windows program and runs its tests and its installer under
# Wine (scripts/test-windows.sh; HAROVAN_SKIP_WINDOWS=1 leaves that out). The
# builds are the presets of CMakePresets.json. Each part says how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
status=0
times=()

# part NAME COMMAND...: runs one part, notes its time, and marks the run failed
# if the part fails.
part() {
    local name=$1 start=$SECONDS
    shift
    echo "=== $name"
    if ! "$@"; then
        status=1
        name="$name (FAILED)"
    fi
    times+=("$(printf '%5d s  %s' $((SECONDS - start)) "$name")")
}

build_and_test() {
    cmake --preset "$1" && cmake --build --preset "$1" -j "$jobs" && ctest --preset "$1" -j "$jobs"
}

part "Format: the C++ sources against .clang-format" bash scripts/check-format.sh
part "Plain build and tests" build_and_test test-plain
part "clang-tidy over the program's files" bash scripts/tidy.sh build-test-plain
part "ASan+UBSan build and tests" build_and_test test-asan
part "ThreadSanitizer: the tests that use threads" build_and_test test-tsan

# The fuzz targets want clang with its fuzzer runtime; a build of the core
# alone, run over the seed corpus only (seconds), not an open-ended search.
fuzz() {
    cmake --preset test-fuzz && cmake --build --preset test-fuzz -j "$jobs" && ctest --preset test-fuzz
}
probe=$(mktemp -d)
if command -v clang >/dev/null && command -v clang++ >/dev/null \
    && echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' \
        | clang++ -x c++ -fsanitize=fuzzer,address,undefined -o "$probe/probe" - 2>/dev/null; then
    part "Fuzz targets over their seed corpus" fuzz
else
    echo "=== Fuzz targets skipped: no clang with its fuzzer runtime (scripts/install-deps.sh installs them)"
fi
rm -rf "$probe"

if [ "${HAROVAN_SKIP_DEBIAN13:-0}" = 1 ]; then
    echo "=== Debian 13 skipped: HAROVAN_SKIP_DEBIAN13=1"
else
    part "Debian 13: plain build and tests" bash scripts/debian13.sh --jobs "$jobs"
fi

# The Windows build from Qt for Windows beside the project folder, its tests and
# the installed program under Wine (scripts/test-windows.sh); without that Qt,
# building it from Debian's sources (scripts/windows-sdk) would take half an hour.
if [ "${HAROVAN_SKIP_WINDOWS:-0}" = 1 ]; then
    echo "=== Windows skipped: HAROVAN_SKIP_WINDOWS=1"
elif [ ! -d ../shared/windows ]; then
    echo "=== Windows skipped: no Qt for Windows in ../shared/windows/ (see scripts/windows-sdk/README.md)"
else
    part "Windows: cross build, tests and the installed program under Wine" bash scripts/test-windows.sh --jobs "$jobs"
fi

echo "=== Times"
printf '%s\n' "${times[@]}"
exit $status
