#!/bin/sh
# Starts TICKORA株価 with its files in the user's own folder: the program keeps
# base_data.ini and its URL lists beside itself, so it runs through a link in
# $XDG_DATA_HOME/tickora (by default ~/.local/share/tickora), never from a system folder.
set -e
data="${XDG_DATA_HOME:-$HOME/.local/share}/tickora"
here=$(dirname "$(readlink -f "$0")")
mkdir -p "$data"
ln -sfn "$here/../libexec/tickora/tickora" "$data/tickora"
exec "$data/tickora" "$@"
