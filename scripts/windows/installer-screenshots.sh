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
# NSIS's Japanese pages are set in ＭＳ Ｐゴシック, whose metrics IPAPGothic shares.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"ＭＳ Ｐゴシック"="IPAPGothic"\r\n' \
    | iconv -f UTF-8 -t UTF-16 >"$work/fonts.reg"
wine regedit /S "$(winepath -w "$work/fonts.reg")"
wineserver -w
out=$build/screenshots
mkdir -p "$out"
rm -f "$out"/installer-*.png

# shoot N PAGE TITLE: the picture of the window named TITLE once it is up,
# then Return.
shoot() {
    local id
    id=$(xdotool search --sync --onlyvisible --name "$3" | tail -n 1)
    sleep 3
    import -window "$id" "$out/installer-$1-$2.png"
    xdotool windowactivate --sync "$id" key Return 2>/dev/null || xdotool key Return
}
# until CONDITION...: waits for it, at most a minute.
until_() {
    local i
    for i in $(seq 60); do "$@" && return 0; sleep 1; done
    return 1
}
run() {
    folder=$(winepath -u 'C:\users\'"$USER"'\AppData\Local\Programs\Harovan')
    wine "$setup" &
    shoot 1 folder "セットアップ"
    until_ test -f "$folder/uninstall.exe"
    sleep 3
    # The finish page; its Return starts the program, which is ended.
    shoot 2 finished "セットアップ"
    wait
    sleep 5
    wineserver -k 2>/dev/null || true
    wine "$folder/uninstall.exe" &
    shoot 3 confirm "アンインストール"
    sleep 5
    # The question about the user's files, over the page.
    shoot 4 question "アンインストール"
    until_ test ! -e "$folder/harovan.exe"
    sleep 3
    shoot 5 finished "アンインストール"
    wait
}
export setup out USER=${USER:-$(id -un)}
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "set -e; $(declare -f shoot until_ run); run"
ls "$out"/installer-*.png
