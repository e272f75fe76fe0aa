#!/usr/bin/env bash
# measure-startup.sh HAROVAN HAROVAN_REMIND EMPTY_WINDOW PROBE BOOK_MAKER
# Times the start of Harovan (with a data file to load, as a user starts it)
# and of an empty Qt Widgets window with the same menu bar, each from process
# start to its window on screen, alternately in rounds ($HAROVAN_STARTUP_RUNS,
# 5 unless told), and prints every round and the ratio of the medians. Harovan
# starts at the text size $HAROVAN_STARTUP_TEXT_SIZE (100, 150 or 200; 100
# unless told), remembered in its settings.ini as a user's choice is. Each
# program is started once beforehand so that both run with warm file caches.
# Uses $DISPLAY when set, else starts its own Xvfb.
# Then times the login reminder, harovan-remind, from process start to its
# end (started by PROBE as the windows are), with a book of cards due (made by BOOK_MAKER) and a session bus of its
# own that has no notification server (the reminder does all but send), and
# prints the ratio of its median to that of Harovan's start-up.
set -euo pipefail
harovan=$1 remind=$2 empty=$3 probe=$4 book_maker=$5

xvfb_pid=
bus_pid=
work=$(mktemp -d)
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "$0")/common.sh"

# A program folder of its own, remembering one of the bundled data files.
folder=$(dirname "$harovan")
cp "$harovan" "$remind" "$work/"
cp -r "$folder/modules" "$work/modules"
cp -r "$folder/data" "$work/data"
data_file=$(cd "$work/data" && ls -1 *.xml 2>/dev/null | sort | tail -n 1 || true)
text_size=${HAROVAN_STARTUP_TEXT_SIZE:-100}
printf '[Settings]\nFileName=%s\nTextSize=%s\n' "$data_file" "$text_size" >"$work/settings.ini"
# With $HAROVAN_STARTUP_BOOK_CARDS, a book of that many won cards beside settings.ini.
book_cards=${HAROVAN_STARTUP_BOOK_CARDS:-0}
[ "$book_cards" -gt 0 ] && "$book_maker" "$work" "$book_cards"

export QT_QPA_PLATFORM=xcb
# The runtime folder, where the running program holds its lock and listens for a second start, of this
# measurement alone.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
"$probe" "$work/harovan" >/dev/null
"$probe" "$empty" >/dev/null
runs=${HAROVAN_STARTUP_RUNS:-5}
harovan_all=() empty_all=()
echo "data file loaded: ${data_file:-none}, text size ${text_size}%, book of ${book_cards} won cards"
echo "round   Harovan ms   empty window ms   ratio"
for round in $(seq "$runs"); do
    h=$("$probe" "$work/harovan")
    e=$("$probe" "$empty")
    harovan_all+=("$h") empty_all+=("$e")
    awk -v r="$round" -v h="$h" -v e="$e" 'BEGIN { printf "%5d %12.1f %17.1f %7.2f\n", r, h, e, h / e }'
done
harovan_ms=$(median "${harovan_all[@]}")
empty_ms=$(median "${empty_all[@]}")
awk -v h="$harovan_ms" -v e="$empty_ms" 'BEGIN { printf "median %11.1f %17.1f %7.2f\n", h, e, h / e }'

# The login reminder.
mkdir "$work/remind"
cp "$remind" "$work/remind/"
"$book_maker" "$work/remind"
read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
export DBUS_SESSION_BUS_ADDRESS=$bus_address
"$probe" --until-exit "$work/remind/harovan-remind" >/dev/null
remind_all=()
echo "round   harovan-remind ms"
for round in $(seq "$runs"); do
    r=$("$probe" --until-exit "$work/remind/harovan-remind")
    remind_all+=("$r")
    printf '%5d %19.1f\n' "$round" "$r"
done
remind_ms=$(median "${remind_all[@]}")
awk -v r="$remind_ms" -v h="$harovan_ms" 'BEGIN { printf "median %8.1f   %.2f of Harovan'"'"'s start-up\n", r, r / h }'
