#!/usr/bin/env bash
# Installs every Debian package Harovan needs to build, run and test.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n
  libqt6multimedia6 libqt6svg6 libqt6printsupport6 libqt6dbus6 qt6-qpa-plugins
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libxml2-dev libxml2-utils libx11-dev libsqlite3-dev libcurl4-openssl-dev
  libbenchmark-dev
  clang-14 libclang-rt-14-dev clang-format
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth xdotool openbox x11-utils imagemagick
  dpkg-dev desktop-file-utils appstream lintian
  at-spi2-core python3-pyatspi dbus-bin
  xdg-utils
  pipewire pipewire-pulse wireplumber pulseaudio-utils dbus-daemon
  python3 python3-icalendar python3-dbus ca-certificates
)

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
