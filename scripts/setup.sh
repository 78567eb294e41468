#!/usr/bin/env bash
# Installs the Debian packages the project needs; fast when they are all there already.
#   scripts/setup.sh               everything: building, testing, packaging
#   scripts/setup.sh --build       only what building the program needs
#   scripts/setup.sh --only P...   exactly these packages
# As root it installs them; as a user with sudo, through sudo; otherwise it says what to run.
set -euo pipefail

build=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libcurl4-openssl-dev libcpp-httplib-dev zlib1g-dev libxml2-dev libpcre2-dev
  fonts-ipafont-gothic fonts-noto-cjk
)
tests=(
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-dev clang-format
  xvfb trayer x11-utils xdotool imagemagick
  xdg-utils dbus-daemon python3-dbus python3-gi dunst
  debhelper dpkg-dev lintian appstream
)

case "${1:-}" in
  --build) packages=("${build[@]}") ;;
  --only) shift; packages=("$@") ;;
  "") packages=("${build[@]}" "${tests[@]}") ;;
  *) echo "usage: $0 [--build | --only PACKAGE...]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  run=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  run=(sudo)
else
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Install them as root, then run this again:" >&2
  echo "  apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
