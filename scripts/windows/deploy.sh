#!/usr/bin/env bash
# Puts beside the Windows program in FOLDER the DLLs it imports, from Qt for
# Windows in SDK and the compiler's runtime, each DLL's own imports too, and
# Qt's plug-ins the program needs (windeployqt does not run on Linux).
# usage: deploy.sh FOLDER SDK
set -euo pipefail
folder=$1
sdk=$2
search=("$sdk/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)

# The book is read through SQLite's own C API and the transfers make their TLS
# through libcurl: no Qt SQL driver, no TLS plug-in of Qt's.
for plugin in platforms/qwindows.dll platforms/qoffscreen.dll styles/qwindowsvistastyle.dll \
  imageformats/qico.dll; do
  mkdir -p "$folder/$(dirname "$plugin")"
  cp -u "$sdk/plugins/$plugin" "$folder/$plugin"
done

# The names of the DLLs a binary imports.
imports() {
  x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'
}

# Every DLL reached from the binaries, found in the search folders; the
# system's own (KERNEL32, USER32, ...) are not among them and stay behind.
declare -A seen=()
queue=("$folder"/*.exe "$folder"/modules/*.dll "$folder"/platforms/*.dll "$folder"/styles/*.dll \
  "$folder"/imageformats/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
  binary=${queue[0]}
  queue=("${queue[@]:1}")
  [ -f "$binary" ] || continue
  while read -r dll; do
    key=${dll,,}
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp -u "$dir/$dll" "$folder/$dll"
        queue+=("$folder/$dll")
        break
      fi
    done
  done < <(imports "$binary")
done
