#!/usr/bin/env bash
# Builds the program and installs it for the current user, without root:
#   scripts/install.sh [PREFIX]      (default ~/.local)
# Then `tickora` (in PREFIX/bin) starts it; its settings live in ~/.local/share/tickora.
# scripts/uninstall.sh [PREFIX] removes exactly what this put there. The Debian package
# (scripts/package.sh) is the other way to install it.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-$HOME/.local}
build=${TICKORA_BUILD_DIR:-build}
bash scripts/setup.sh --build
# A build folder made already (a test's) is built as it is configured.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target tickora tickora-probe quote-host
# The folders this install makes, so that the uninstall removes them and no other: those a
# trial install into an empty folder makes (and the manifests' own) that PREFIX lacks.
trial=$(mktemp -d)
trap 'rm -rf "$trial"' EXIT
cmake --install "$build" --prefix "$trial" --component tickora >/dev/null
mkdir -p "$trial/lib/tickora"
made=$(cd "$trial" && find . -mindepth 1 -type d -printf '%P\n' | while IFS= read -r folder; do
    [ -d "$prefix/$folder" ] || printf '%s\n' "$prefix/$folder"
done)
cmake --install "$build" --prefix "$prefix" --component tickora --strip >/dev/null
# What was installed, for the uninstall: this install's files and folders and any an earlier
# one left.
manifest=$prefix/lib/tickora/installed-files
folders=$prefix/lib/tickora/installed-folders
mkdir -p "$(dirname "$manifest")"
{ cat "$build/install_manifest_tickora.txt"; echo; if [ -f "$manifest" ]; then cat "$manifest"; fi; } |
    grep -v '^$' | sort -u >"$manifest.new"
mv "$manifest.new" "$manifest"
{ printf '%s\n' "$made"; if [ -f "$folders" ]; then cat "$folders"; fi; } |
    sed '/^$/d' | sort -u >"$folders.new"
mv "$folders.new" "$folders"
echo "installed into $prefix; start it with $prefix/bin/tickora"
echo "to try it at once, start the demo market it reads first: $prefix/bin/tickora-quote-host &"
