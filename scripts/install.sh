#!/usr/bin/env bash
# Builds the program and installs it for the current user, without root:
#   scripts/install.sh [PREFIX]      (default ~/.local)
# Then `tickora` (in PREFIX/bin) starts it; its settings live in ~/.local/share/tickora.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-$HOME/.local}
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tickora tickora-probe quote-host
cmake --install build --prefix "$prefix" --component tickora
echo "installed into $prefix; start it with $prefix/bin/tickora"
echo "try it at once: $prefix/bin/tickora-quote-host & (the demo market its default settings read)"
