#!/usr/bin/env bash
# Builds libcurl for Windows x86_64 as a static library from Debian 12's own
# `curl` source package, cross-compiled with Debian's mingw-w64 (posix
# threads): HTTP and HTTPS only, TLS through Windows' Schannel, no zlib,
# brotli, zstd, IDN, PSL, nghttp2, LDAP or SSH. Only the library is built, not
# the curl program, its tests or its manual. The source comes from the mirror
# the system's apt already uses, through a private apt state that adds deb-src
# for it; nothing is fetched from anywhere else.
# usage: build-curl.sh PREFIX [WORK_FOLDER]
#   PREFIX       where lib/libcurl.a, include/curl/ and lib/cmake/CURL/ go
#   WORK_FOLDER  the source and the build (default PREFIX.work, removed after)
set -euo pipefail
prefix=$(mkdir -p "$1" && cd "$1" && pwd)
work=${2:-$prefix.work}
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/src"
work=$(cd "$work" && pwd)

# 1. The source package, through a private apt state.
sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$work/apt/src.sources"
apt=(-o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$work/apt" -o Dir::State::Lists="$work/apt/lists"
  -o Dir::Cache="$work/apt/cache" -o Debug::NoLocking=1)
apt-get "${apt[@]}" -qq update
# apt checks the files against the mirror's signed index; dpkg-source has no
# keyring for the uploader's own signature and says so in its log.
(cd "$work/src" && apt-get "${apt[@]}" -o APT::Sandbox::User=root -qq source --download-only curl >/dev/null \
  && dpkg-source -x ./*.dsc >"$work/unpack.log" 2>&1)
source=$(ls -d "$work"/src/curl-*/ | head -n 1)

# 2. The static library alone. CURL_DISABLE_* leaves out every protocol but
#    HTTP(S) and what only the curl program uses; the CMake package it installs
#    gives CURL::libcurl with CURL_STATICLIB and Windows' libraries it needs.
cmake -S "$source" -B "$work/build" -G Ninja \
  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
  -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc-posix -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres \
  -DCMAKE_FIND_ROOT_PATH=/usr/x86_64-w64-mingw32 -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
  -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF -DCURL_LTO=OFF \
  -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_MBEDTLS=OFF -DCURL_USE_WOLFSSL=OFF \
  -DCURL_USE_BEARSSL=OFF -DCURL_USE_NSS=OFF -DCURL_WINDOWS_SSPI=OFF -DCURL_USE_GSSAPI=OFF \
  -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_NGTCP2=OFF -DUSE_QUICHE=OFF \
  -DUSE_MSH3=OFF -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF -DCURL_USE_LIBPSL=OFF \
  -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
  -DHTTP_ONLY=ON -DCURL_DISABLE_COOKIES=ON -DCURL_DISABLE_ALTSVC=ON -DCURL_DISABLE_HSTS=ON \
  -DCURL_DISABLE_NTLM=ON -DCURL_DISABLE_PROGRESS_METER=ON -DENABLE_UNIX_SOCKETS=OFF \
  -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none >"$work/configure.log"
cmake --build "$work/build" --target libcurl -j2 >"$work/build.log"
cmake --install "$work/build" >"$work/install.log"
# What the build was made from, for the licence notes of the packages.
echo "curl $(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)" > "$prefix/SOURCE"
cp "$source/COPYING" "$prefix/COPYING"
rm -rf "$work"
