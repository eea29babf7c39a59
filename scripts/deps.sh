#!/usr/bin/env bash
# Installs every Debian package InkWren needs to build, run and test.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools qt6-qpa-plugins
  qt6-webengine-dev qt6-webengine-dev-tools qt6-multimedia-dev qt6-declarative-dev
  libqt6opengl6-dev libgl-dev libvulkan-dev
  libsqlite3-dev libpcre2-dev libcurl4-openssl-dev ca-certificates
  libopencc-dev opencc libespeak-ng-dev espeak-ng-data
  libxcb1-dev libxcb-keysyms1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-noto-cjk
  clang libclang-rt-dev
  libcpp-httplib-dev libssl-dev zlib1g-dev libbrotli-dev libsodium-dev
  libqt6sql6-sqlite libqt6sql6-psql postgresql openssl
  libqt6dbus6 dbus
  qt6-translations-l10n desktop-file-utils qt6-gtk-platformtheme qt6-xdgdesktopportal-platformtheme
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
