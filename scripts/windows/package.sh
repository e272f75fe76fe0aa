#!/usr/bin/env bash
# Makes the Windows packages from a build folder: the program folder as it is
# installed (BUILD/package/Harovan), the installer harovan-setup-VERSION.exe
# and the zip harovan-VERSION-windows.zip, both in BUILD.
# usage: package.sh BUILD SDK VERSION
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
sdk=$2
version=$3

stage=$build/package/Harovan
rm -rf "$build/package"
mkdir -p "$stage/modules" "$stage/licenses"
cp "$build/harovan.exe" "$build/harovan-remind.exe" "$stage/"
cp "$build"/modules/*.dll "$stage/modules/"
cp -r "$build/data" "$build/ReadMe.html" "$build/atari.wav" "$build/src/harovan.ico" "$stage/"
bash "$here/deploy.sh" "$stage" "$sdk"
# Qt's own texts (message box buttons, a text box's menu) in Japanese, as on
# Linux: Debian's translation of the same Qt, found by the program through
# qt.conf, which makes the program folder Qt's prefix.
mkdir -p "$stage/translations"
cp /usr/share/qt6/translations/qtbase_ja.qm "$stage/translations/"
printf '[Paths]\r\nPrefix = .\r\n' >"$stage/qt.conf"
# Without their symbols: the installer is a third of the size.
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
curl=$(dirname "$sdk")/curl-mingw

# The libraries' licences, and where their sources are.
{
  echo "Harovan ${version} for Windows carries these libraries, built unchanged (but for the"
  echo "patch named below) from Debian 12's source packages, which hold their complete sources:"
  echo "  Qt 6.4.2 (qt6-base 6.4.2+dfsg-10, with qt642-no-direct2d.patch) - LGPL 3"
  echo "  libxml2 2.9.14 - MIT licence; SQLite 3.40.1 - public domain"
  echo "  libcurl ($(cat "$curl/SOURCE"), built by scripts/windows-sdk/build-curl.sh) - curl licence (below)"
  echo "  the GCC runtime (libgcc, libstdc++) - GPL 3 with the GCC Runtime Library Exception"
  echo "  winpthreads (mingw-w64) - MIT licence"
  echo "The sources: https://deb.debian.org/debian/pool/main/ (qt6-base, libxml2, sqlite3, curl,"
  echo "gcc-mingw-w64, mingw-w64); the build recipes are scripts/windows-sdk/build-sdk.sh and"
  echo "build-curl.sh in Harovan's sources."
  echo
  echo "==== GNU Lesser General Public License, version 3 ===="
  cat /usr/share/common-licenses/LGPL-3
  echo
  echo "==== GNU General Public License, version 3 ===="
  cat /usr/share/common-licenses/GPL-3
  echo
  echo "==== curl licence ===="
  cat "$curl/COPYING"
} > "$stage/licenses/LICENSES.txt"
cp "$root/packaging/copyright" "$stage/licenses/copyright.txt"

# What the uninstaller removes: the installed files, then their folders
# (RMDir without /r: a folder the user added files to stays).
filelist=$build/package/files.nsh
(
  cd "$stage"
  find . -type f | sed 's|^\./||' | sort | while read -r f; do
    printf 'Delete "$INSTDIR\\%s"\n' "${f//\//\\}"
  done
  find . -mindepth 1 -type d | sed 's|^\./||' | sort -r | while read -r d; do
    printf 'RMDir "$INSTDIR\\%s"\n' "${d//\//\\}"
  done
) > "$filelist"

makensis -V2 -DVERSION="$version" -DSOURCE="$stage" -DFILELIST="$filelist" \
  -DOUTFILE="$build/harovan-setup-$version.exe" "$root/packaging/windows/harovan.nsi"
rm -f "$build/harovan-$version-windows.zip"
(cd "$build/package" && zip -qr -9 "$build/harovan-$version-windows.zip" Harovan)
ls -l "$build/harovan-setup-$version.exe" "$build/harovan-$version-windows.zip"
