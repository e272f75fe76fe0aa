#!/usr/bin/env bash
# Installs every Debian package Harovan needs to build, run and test, on
# Debian 12 and Debian 13 alike: the clang tools are the release's own default
# version (clang, clang-tidy, libclang-rt-dev), never a numbered one.
# Safe to run again: packages already present are left alone.
#
#   install-deps.sh              install everything the test command needs
#   install-deps.sh --plain      only what the plain build and its tests need,
#                                without a desktop session (the Debian 13 root)
#   install-deps.sh --list [--plain]   print the package names, install nothing
set -euo pipefail

# The plain Debug build and the tests that need no desktop session.
plain=(
  build-essential cmake ninja-build pkg-config ccache binutils
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n
  libqt6multimedia6 libqt6svg6 libqt6printsupport6 libqt6dbus6 qt6-qpa-plugins
  libxml2-dev libxml2-utils libx11-dev libsqlite3-dev libcurl4-openssl-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  dbus-bin dbus-daemon
  python3 python3-icalendar python3-dbus ca-certificates
)
# The rest of the test command: the sanitizer and fuzz builds, clang-tidy, the
# benchmarks, the desktop session of the end-to-end tests, the package checks,
# the Debian 13 root and Wine for the Windows build's tests (which
# scripts/build-windows.sh installs the cross compilers for).
rest=(
  libbenchmark-dev
  clang clang-tidy libclang-rt-dev clang-format
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  xvfb xauth xdotool openbox x11-utils imagemagick
  dpkg-dev desktop-file-utils appstream lintian
  at-spi2-core python3-pyatspi
  xdg-utils
  pipewire pipewire-pulse wireplumber pulseaudio-utils
  debootstrap
  wine wine64 fonts-wine
)

list_only=0
only_plain=0
for arg in "$@"; do
  case "$arg" in
    --list) list_only=1 ;;
    --plain) only_plain=1 ;;
    *) echo "install-deps.sh: unknown argument $arg" >&2; exit 2 ;;
  esac
done

packages=("${plain[@]}")
[ "$only_plain" -eq 1 ] || packages+=("${rest[@]}")

if [ "$list_only" -eq 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
