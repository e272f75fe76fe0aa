#!/usr/bin/env bash
# measure-startup.sh HAROVAN EMPTY_WINDOW PROBE
# Times, in one run, the start of Harovan (with a data file to load, as a user
# starts it) and of an empty Qt Widgets window, each from process start to its
# window on screen, and prints both and their ratio. Each program is started
# once beforehand so that both are measured with warm file caches.
# Uses $DISPLAY when set, else starts its own Xvfb.
set -euo pipefail
harovan=$1 empty=$2 probe=$3

xvfb_pid=
work=$(mktemp -d)
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        break
    done
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

# A program folder of its own, remembering one of the bundled data files.
folder=$(dirname "$harovan")
cp "$harovan" "$work/harovan"
cp -r "$folder/data" "$work/data"
data_file=$(cd "$work/data" && ls -1 *.xml 2>/dev/null | sort | tail -n 1 || true)
printf '[Settings]\nFileName=%s\n' "$data_file" >"$work/settings.ini"

export QT_QPA_PLATFORM=xcb
"$probe" "$work/harovan" >/dev/null
"$probe" "$empty" >/dev/null
harovan_ms=$("$probe" "$work/harovan")
empty_ms=$("$probe" "$empty")

echo "data file loaded:      ${data_file:-none}"
echo "Harovan start-up:      $harovan_ms ms"
echo "empty window start-up: $empty_ms ms"
awk -v h="$harovan_ms" -v e="$empty_ms" 'BEGIN { printf "ratio:                 %.2f\n", h / e }'
