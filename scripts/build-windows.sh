#!/usr/bin/env bash
# Cross-compiles Harovan for Windows x86_64 with Debian's mingw-w64 against Qt
# 6.4.2 for Windows, and makes the installer harovan-setup-VERSION.exe and the
# zip harovan-VERSION-windows.zip in build-windows/.
#
# Qt for Windows comes ready built from ../shared/windows/ (beside the project
# folder) and is unpacked once into a cache folder outside the tree; without
# that folder, scripts/windows-sdk/build-sdk.sh builds it from Debian's source
# packages into the cache (about 35 minutes on 2 cores, once). libcurl for
# Windows is built into the same cache by scripts/windows-sdk/build-curl.sh
# (about 5 minutes, once).
#
# usage: build-windows.sh [--no-package] [--tests] [--bench]
#   --no-package  builds and deploys the program folder only
#   --tests       also builds the Qt Test programs that exist on Windows, into
#                 the same folder (their runner under Wine reads them there)
#   HAROVAN_BUILD_TESTS=ON is the same as --tests
#   --bench       also builds the empty window that the start-up under Wine is
#                 measured against (bench/startup/measure-startup-wine.sh);
#                 HAROVAN_BUILD_BENCH=ON is the same
#   HAROVAN_WINDOWS_CACHE  the cache folder (default $XDG_CACHE_HOME/harovan-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

package=1
tests=${HAROVAN_BUILD_TESTS:-OFF}
bench=${HAROVAN_BUILD_BENCH:-OFF}
for arg in "$@"; do
  case $arg in
    --no-package) package=0 ;;
    --tests) tests=ON ;;
    --bench) bench=ON ;;
    *) echo "usage: $0 [--no-package] [--tests] [--bench]" >&2; exit 2 ;;
  esac
done

# 1. Debian's packages for the cross build.
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n g++ imagemagick cmake ninja-build nsis zip xz-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# 2. Qt, SQLite and libxml2 for Windows, in the cache folder.
cache=${HAROVAN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/harovan-windows}
mkdir -p "$cache"
shared=$root/../shared/windows
archive=$shared/qt6.4.2-mingw-w64.tar.xz
if [ -f "$archive" ]; then
  # Unpacked again whenever the archive changes.
  stamp=$(stat -c '%s %Y' "$archive")
  if [ ! -d "$cache/qt-mingw" ] || [ "$(cat "$cache/qt-mingw.stamp" 2>/dev/null)" != "$stamp" ]; then
    echo "Unpacking Qt for Windows into $cache"
    rm -rf "$cache/qt-mingw" "$cache/qt-mingw.stamp"
    tar -xJf "$archive" -C "$cache"
    echo "$stamp" > "$cache/qt-mingw.stamp"
  fi
elif [ ! -d "$cache/qt-mingw" ]; then
  echo "No ready Qt for Windows in $shared: building it from Debian's sources (about 35 minutes, once)"
  bash scripts/windows-sdk/build-sdk.sh "$cache/sdk-work"
  tar -xJf "$cache/sdk-work/qt6.4.2-mingw-w64.tar.xz" -C "$cache"
  echo built > "$cache/qt-mingw.stamp"
fi
sdk=$cache/qt-mingw

# 3. libcurl for Windows, static, from Debian's curl source package (about 5
#    minutes, once); built again when its recipe changes.
recipe=$(sha256sum scripts/windows-sdk/build-curl.sh | cut -d' ' -f1)
if [ "$(cat "$cache/curl-mingw/RECIPE" 2>/dev/null)" != "$recipe" ]; then
  echo "Building libcurl for Windows into $cache/curl-mingw"
  rm -rf "$cache/curl-mingw"
  bash scripts/windows-sdk/build-curl.sh "$cache/curl-mingw.new"
  echo "$recipe" > "$cache/curl-mingw.new/RECIPE"
  mv "$cache/curl-mingw.new" "$cache/curl-mingw"
fi

# 4. Configure and build; the build folder is a working program folder for
#    Wine once the libraries are beside the program (scripts/windows/deploy.sh).
#    ccache serves when it is there.
export HAROVAN_WINDOWS_SDK=$cache
build=$root/build-windows
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
fi
"$sdk/bin/qt-cmake" -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DHAROVAN_WINDOWS_SDK="$cache" -DCMAKE_PREFIX_PATH="$sdk" \
  -DHAROVAN_BUILD_TESTS="$tests" -DHAROVAN_BUILD_BENCH="$bench" >/dev/null
cmake --build "$build" -j2

# 5. The libraries and Qt's plug-ins beside the program, then the packages.
bash scripts/windows/deploy.sh "$build" "$sdk"
if [ "$package" = 1 ]; then
  cmake --build "$build" --target harovan_windows_packages
fi
