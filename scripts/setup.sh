#!/usr/bin/env bash
# Installs every Debian package the project needs. Fast when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libcurl4-openssl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcpp-httplib-dev
  clang libclang-rt-dev clang-format
  fonts-ipafont-gothic fonts-noto-cjk
  xvfb trayer x11-utils xdotool imagemagick
  xdg-utils dbus-daemon python3-dbus python3-gi
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
