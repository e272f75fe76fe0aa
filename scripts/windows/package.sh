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

# The libraries' licences, and the Debian source packages they were built
# from, which hold their complete sources; the one change made to Qt beside them.
source_version() { dpkg-query -W -f='${source:Package} ${source:Version}' "$1"; }
{
  echo "Harovan ${version} for Windows carries these libraries, built from Debian 12's source packages:"
  echo
  echo "  Qt 6.4.2: qt6-base 6.4.2+dfsg-10, with qt642-no-direct2d.patch (in this folder). LGPL 3."
  echo "  libxml2 2.9.14: libxml2 2.9.14+dfsg. MIT licence."
  echo "  SQLite 3.40.1: sqlite3 3.40.1. Public domain."
  echo "  libcurl: $(cat "$curl/SOURCE"). curl licence (below)."
  echo "  The GCC runtime (libgcc, libstdc++): $(source_version g++-mingw-w64-x86-64-posix). GPL 3 with the GCC Runtime Library Exception."
  echo "  winpthreads: $(source_version mingw-w64-x86-64-dev). MIT licence."
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
cp "$root/scripts/windows-sdk/qt642-no-direct2d.patch" "$stage/licenses/"
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
