#!/usr/bin/env bash
# Screenshots of every window of the Windows program under Wine, as a user of
# Windows would see them: Xvfb, Qt's Windows platform in a Wine desktop of its
# own (Wine draws the window frames), the IPA fonts, at the text sizes 標準
# (TextSize=100 in settings.ini) and 特大 (200). Writes
# build-windows/screenshots/NAME-100.png and NAME-200.png, from a copy of the
# program folder as it is installed (build-windows/package/Harovan).
#
# usage: windows-screenshots.sh [--no-build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build-windows
[ "${1:-}" = "--no-build" ] || bash scripts/build-windows.sh --tests

work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix
source tests/windows/prefix.sh

out=$build/screenshots
rm -rf "$out"
mkdir -p "$out"
program=$work/Harovan
cp -r "$build/package/Harovan" "$program"
cp "$build/harovan-screenshots.exe" "$build/Qt6Test.dll" "$program/"

shoot() {
    for size in 100 200; do
        rm -f "$program"/atari.db*
        printf '[Settings]\r\nFileName=年賀状（令和8年度版）.xml\r\nTextSize=%s\r\n' "$size" >"$program/settings.ini"
        wine explorer /desktop=harovan,1920x1200 "$program/harovan-screenshots.exe" "$(winepath -w "$out")" "$size"
        wineserver -w
    done
}
export program out
xvfb-run -a -s "-screen 0 1920x1200x24" bash -c "set -e; $(declare -f shoot); shoot"
ls "$out"
