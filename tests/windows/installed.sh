#!/usr/bin/env bash
# The installed Windows program under Wine, in the prefix WINEPREFIX names: the
# installer (/S) fills %LOCALAPPDATA%\Programs\Harovan; there the main window
# judges three cards on the bundled data and the book keeps the won ones across
# a restart (tst_installed_win.exe, copied in); harovan-remind.exe runs and
# ends cleanly; the uninstaller (/S) removes the program and keeps atari.db.
# usage: installed.sh BUILD     (scripts/test-windows.sh runs it)
set -euo pipefail
build=$1
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; exit 1; fi
}

setup=$(ls "$build"/harovan-setup-*.exe)
check "the installer runs silently" wine "$setup" /S
folder=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')")/Programs/Harovan
check "the program is installed" test -f "$folder/harovan.exe" -a -f "$folder/uninstall.exe"

# The in-process window: its Qt Test library beside it, both removed before
# the uninstaller runs, which removes only what the installer put there.
cp "$build/tst_installed_win.exe" "$build/Qt6Test.dll" "$folder/"
export WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1
check "a loss, a hit on two digits and one of two stages" wine "$folder/tst_installed_win.exe" judge
check "atari.db is in the program folder" test -f "$folder/atari.db"
check "after a restart the book holds the won cards" wine "$folder/tst_installed_win.exe" restart
rm "$folder/tst_installed_win.exe" "$folder/Qt6Test.dll"

check "harovan-remind.exe ends cleanly" timeout 60 wine "$folder/harovan-remind.exe"

# The uninstaller copies itself elsewhere and returns at once.
wine "$folder/uninstall.exe" /S
gone() {
    for _ in $(seq 120); do
        [ -e "$folder/harovan.exe" ] || [ -e "$folder/uninstall.exe" ] || return 0
        sleep 0.5
    done
    return 1
}
check "the uninstaller removes the program" gone
check "the uninstaller keeps atari.db" test -f "$folder/atari.db"
echo "left in the program folder: $(ls -A "$folder" | tr '\n' ' ')"
