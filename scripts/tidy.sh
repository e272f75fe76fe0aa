#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the C++ files of the tree
# that a build folder compiles (its compile_commands.json; not what moc and uic
# write there). Exit status 1 on any finding.
#
# Usage: tidy.sh [BUILD_FOLDER [FOLDER...]]
#   BUILD_FOLDER  default build-test-plain, built already (the files include
#                 what moc and uic write)
#   FOLDER        the tree's folders to check, default src platform tools: the
#                 program and its tools, as the test command checks them; the
#                 tests (folder tests) can be added, at some minutes more.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test-plain}
shift || true
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(src platform tools)

if [ ! -f "$build/compile_commands.json" ]; then
    echo "tidy.sh: $build/compile_commands.json is missing: configure $build first" >&2
    exit 2
fi
tidy=$(command -v clang-tidy || true)
runner=$(command -v run-clang-tidy || true)
if [ -z "$tidy" ] || [ -z "$runner" ]; then
    echo "tidy.sh: clang-tidy is missing (scripts/install-deps.sh installs it)" >&2
    exit 2
fi

# The runner's file arguments are regular expressions over the absolute paths.
exec "$runner" -quiet -clang-tidy-binary "$tidy" -p "$build" -j "$(nproc)" \
    "^$PWD/($(IFS='|'; echo "${folders[*]}"))/" 2> >(grep -v '^[0-9]* warnings\? generated\.$' >&2)
