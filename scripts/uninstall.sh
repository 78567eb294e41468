#!/usr/bin/env bash
# Removes exactly what scripts/install.sh installed into PREFIX (default ~/.local), and the
# folders it made once they are empty. The user's own files (settings, URL lists and chart
# folders in ~/.local/share/tickora) stay.
#   scripts/uninstall.sh [PREFIX]
set -euo pipefail
prefix=${1:-$HOME/.local}
manifest=$prefix/lib/tickora/installed-files
[ -f "$manifest" ] || { echo "no TICKORA installed by install.sh in $prefix" >&2; exit 1; }
data=${XDG_DATA_HOME:-$HOME/.local/share}/tickora
# Earlier launchers left a link to the program in the data folder: it would point nowhere.
if [ -L "$data/tickora" ] && [[ $(readlink "$data/tickora") == "$prefix"/libexec/tickora/* ]]; then
    rm -f "$data/tickora"
fi
while IFS= read -r file; do
    rm -f "$file"
done <"$manifest"
rm -f "$manifest"
# The folders the install made, deepest first, each only once nothing else is in it.
folders=$prefix/lib/tickora/installed-folders
made=$(if [ -f "$folders" ]; then LC_ALL=C sort -r "$folders"; fi)
rm -f "$folders"
while IFS= read -r folder; do
    [ -z "$folder" ] || rmdir "$folder" 2>/dev/null || true
done <<<"$made"
# An install older than the list of folders made at least these two.
rmdir "$prefix/lib/tickora" "$prefix/libexec/tickora" 2>/dev/null || true
if [ -d "$data" ]; then
    echo "removed TICKORA from $prefix; your files in $data are kept"
else
    echo "removed TICKORA from $prefix"
fi
