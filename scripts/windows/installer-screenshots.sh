#!/usr/bin/env bash
# Screenshots of every page of the Windows installer and its uninstaller at
# their own size, under Wine with the IPA fonts, as a user clicks through
# them (Return presses the page's default button): build-windows/screenshots/
# installer-N-PAGE.png, from the installer that scripts/build-windows.sh made.
#
# usage: installer-screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$PWD/build-windows
setup=$(ls "$build"/harovan-setup-*.exe)
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix
source tests/windows/prefix.sh
out=$build/screenshots
mkdir -p "$out"
rm -f "$out"/installer-*.png

# shoot N PAGE TITLE [TEXT]: once a window named TITLE is up (and, when TEXT
# is given, the page shows it), its picture; then Return.
shoot() {
    local id
    id=$(xdotool search --sync --onlyvisible --name "$3" | tail -n 1)
    sleep 2
    import -window "$id" "$out/installer-$1-$2.png"
    xdotool windowactivate --sync "$id" key Return 2>/dev/null || xdotool key Return
}
run() {
    wine "$setup" &
    shoot 1 folder "セットアップ"
    shoot 2 finished "セットアップ"
    wait
    wineserver -k 2>/dev/null || true
    folder=$(winepath -u 'C:\users\'"$USER"'\AppData\Local\Programs\Harovan' 2>/dev/null)
    wine "$folder/uninstall.exe" &
    shoot 3 confirm "アンインストール"
    shoot 4 question "Harovan"
    shoot 5 finished "アンインストール"
    wait
}
export setup out
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "set -e; $(declare -f shoot run); run"
ls "$out"/installer-*.png
