# Sourced by the start-up measurements.

# The median of the numbers given.
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Unless $DISPLAY is set, an Xvfb of its own on a free display: exports
# DISPLAY, sets xvfb_pid for the caller to end it, and waits until the display
# answers.
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
