#!/usr/bin/env bash
# The Windows build's tests under Wine: cross-builds Harovan and its core and
# platform tests into build-windows/ (scripts/build-windows.sh --tests), makes a
# throw-away 64-bit Wine prefix with the IPA fonts (tests/windows/prefix.sh),
# runs every cross-built test there (CTest starts each through Wine, the DLLs
# beside it; tests/CMakeLists.txt says which are left out and why), then
# installs the program with its installer and checks the installed program
# (tests/windows/installed.sh). Each step says how long it took; the script
# fails when any test fails.
#
# usage: test-windows.sh [--jobs N]
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=2
[ "${1:-}" = "--jobs" ] && [ -n "${2:-}" ] && jobs=$2

times=()
step() {
    local name=$1 start=$SECONDS result=0
    shift
    echo "--- Windows: $name"
    "$@" || result=$?
    times+=("$(printf '%5d s  %s%s' $((SECONDS - start)) "$name" "$([ $result = 0 ] || echo ' (FAILED)')")")
    return $result
}
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"; printf "%s\n" "${times[@]}"' EXIT

step "build" bash scripts/build-windows.sh --tests
step "prefix" source tests/windows/prefix.sh
# Qt's offscreen platform reads its fonts from the folder it is given.
export WINEQT_QPA_FONTDIR='C:\windows\Fonts'

failed=0
step "tests" ctest --test-dir build-windows -j "$jobs" --output-on-failure || failed=1
step "installed program" bash tests/windows/installed.sh "$PWD/build-windows" || failed=1
exit $failed
