#!/usr/bin/env bash
# Builds tickora_<version>_<arch>.deb with Debian's own tools (debhelper) into dist/, from a
# copy of the tracked files, so that the work tree gets no build output.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

build_deps=(build-essential debhelper dpkg-dev cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libcurl4-openssl-dev libcpp-httplib-dev)
bash scripts/setup.sh --only "${build_deps[@]}"

version=$(dpkg-parsechangelog -l debian/changelog -S Version)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
src=$stage/tickora-$version
mkdir -p "$src"
if git rev-parse --git-dir >/dev/null 2>&1; then
  git ls-files -z -co --exclude-standard | xargs -0 cp --parents -t "$src"
else
  tar --exclude='./build*' --exclude=./dist --exclude=./run -cf - . | tar -xf - -C "$src"
fi
(cd "$src" && dpkg-buildpackage -b -us -uc -j"$(nproc)" >"$stage/build.log" 2>&1) ||
  { tail -n 60 "$stage/build.log"; exit 1; }
mkdir -p dist
mv "$stage"/tickora_*.deb dist/
ls dist/tickora_"$version"_*.deb
