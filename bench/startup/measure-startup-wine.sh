#!/usr/bin/env bash
# measure-startup-wine.sh WINDOWS_BUILD PROBE BOOK_MAKER
# The Windows build's start-up under Wine, as measure-startup.sh measures the
# Linux one: `wine harovan.exe` (with a data file to load, at the text size
# $HAROVAN_STARTUP_TEXT_SIZE) against `wine startup_empty_window.exe`, both
# cross-built the same way (scripts/build-windows.sh --bench), each from
# process start to its window on screen (Wine's windows are X11 windows, so
# PROBE, the X11 probe, times them), alternately in rounds
# ($HAROVAN_STARTUP_RUNS, 5 unless told); prints every round and the ratio of
# the medians. Then times `wine harovan-remind.exe` to its end, with a book of
# cards due (made by BOOK_MAKER) that it has already told of today: it starts,
# reads its settings and the book and ends, all but the notification.
#
# Runs in a throw-away 64-bit Wine prefix of its own (no Mono, Gecko or sound
# drivers, the IPA fonts in windows\Fonts) under an Xvfb of its own unless
# $DISPLAY is set. The Wine server is started once beforehand and each program
# once before the rounds, so that Wine's own start and warm file caches are in
# both figures alike. Wine's desktop process (explorer.exe) ends about a second
# after the last program with windows and starts again with the next one, at
# that program's cost: an empty window on Qt's windowless platform keeps it
# running throughout, as a desktop session would.
set -euo pipefail
build=$(realpath "$1") probe=$(realpath "$2") book_maker=$(realpath "$3")
for exe in harovan.exe harovan-remind.exe startup_empty_window.exe; do
    if [ ! -f "$build/$exe" ]; then
        echo "$build/$exe is missing: build with scripts/build-windows.sh --bench" >&2
        exit 2
    fi
done
wine=$(command -v wine)

xvfb_pid=
keeper_pid=
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv="
cleanup() {
    [ -n "$keeper_pid" ] && kill "$keeper_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/common.sh"

# The prefix; Wine has no Japanese fonts of its own.
echo "making the Wine prefix"
wineboot -i >"$work/wineboot.log" 2>&1
wineserver -w
cp /usr/share/fonts/opentype/ipafont-gothic/*.ttf /usr/share/fonts/opentype/ipafont-mincho/*.ttf \
    "$WINEPREFIX/drive_c/windows/Fonts/"

# A program folder of its own: the program, its libraries, plug-ins and data,
# the empty window beside it on the same libraries, and a settings.ini that
# remembers the newest bundled data file.
program=$work/program
mkdir "$program"
cp "$build"/harovan.exe "$build"/harovan-remind.exe "$build"/startup_empty_window.exe "$build"/*.dll "$program/"
for folder in data modules platforms styles imageformats; do
    [ -d "$build/$folder" ] && cp -r "$build/$folder" "$program/$folder"
done
data_file=$(cd "$program/data" && ls -1 *.xml 2>/dev/null | sort | tail -n 1 || true)
text_size=${HAROVAN_STARTUP_TEXT_SIZE:-100}
printf '[Settings]\r\nFileName=%s\r\nTextSize=%s\r\n' "$data_file" "$text_size" >"$program/settings.ini"

# Started from their folder, as the Start menu's shortcut starts them: what
# they leave in the current folder stays in the throw-away one.
cd "$program"
wineserver -p
"$wine" "$program/startup_empty_window.exe" -platform minimal >/dev/null 2>&1 &
keeper_pid=$!
"$probe" "$wine" "$program/harovan.exe" >/dev/null
"$probe" "$wine" "$program/startup_empty_window.exe" >/dev/null
runs=${HAROVAN_STARTUP_RUNS:-5}
harovan_all=() empty_all=()
echo "under $(wine --version): data file loaded: ${data_file:-none}, text size ${text_size}%"
echo "round   Harovan ms   empty window ms   ratio"
for round in $(seq "$runs"); do
    h=$("$probe" "$wine" "$program/harovan.exe")
    e=$("$probe" "$wine" "$program/startup_empty_window.exe")
    harovan_all+=("$h") empty_all+=("$e")
    awk -v r="$round" -v h="$h" -v e="$e" 'BEGIN { printf "%5d %12.1f %17.1f %7.2f\n", r, h, e, h / e }'
done
harovan_ms=$(median "${harovan_all[@]}")
empty_ms=$(median "${empty_all[@]}")
awk -v h="$harovan_ms" -v e="$empty_ms" 'BEGIN { printf "median %11.1f %17.1f %7.2f\n", h, e, h / e }'

# The login reminder, in a folder of its own on the same files, with a book of
# cards due that it told of today.
cp -al "$program" "$work/remind"
rm "$work/remind/settings.ini"
printf '[Settings]\r\nReminded=%s\r\n' "$(date +%F)" >"$work/remind/settings.ini"
"$book_maker" "$work/remind"
cd "$work/remind"
"$probe" --until-exit "$wine" "$work/remind/harovan-remind.exe" >/dev/null
remind_all=()
echo "round   harovan-remind ms"
for round in $(seq "$runs"); do
    r=$("$probe" --until-exit "$wine" "$work/remind/harovan-remind.exe")
    remind_all+=("$r")
    printf '%5d %19.1f\n' "$round" "$r"
done
remind_ms=$(median "${remind_all[@]}")
awk -v r="$remind_ms" -v h="$harovan_ms" 'BEGIN { printf "median %8.1f   %.2f of Harovan'"'"'s start-up\n", r, r / h }'
