#!/bin/bash
# The installed program: `cmake --install` into a temporary prefix, then three ways to start
# it, each against the installed quote host and ended by SIGTERM:
#   - the launcher on PATH, by name: the settings live in $XDG_DATA_HOME/tickora, and no
#     link or copy of the program is left there;
#   - the binary by name through PATH: the settings live beside the binary PATH found;
#   - a symbolic link in another folder: the settings live beside the link.
# and the installed probe reading a quote of that host. Then scripts/install.sh into another
# prefix, and scripts/uninstall.sh, which leaves no file of ours behind.
#   run_install_test.sh BUILD_DIR
set -u
build=$1
source "$(dirname "$0")/../support/harness.sh"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --component tickora >"$work/install.log" ||
    fail "install: $(cat "$work/install.log")"
for file in bin/tickora bin/tickora-probe bin/tickora-quote-host libexec/tickora/tickora; do
    [ -x "$prefix/$file" ] || fail "$file is not installed as a program"
done
for file in share/applications/tickora.desktop share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/tickora.png \
    share/icons/hicolor/scalable/apps/tickora.svg share/metainfo/jp.tickora.Tickora.metainfo.xml \
    share/man/man1/{tickora,tickora-probe,tickora-quote-host}.1; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
done
grep -qx "Exec=$prefix/bin/tickora" "$prefix/share/applications/tickora.desktop" ||
    fail "desktop entry: $(grep Exec "$prefix/share/applications/tickora.desktop")"

# --help and --version print and end without a display, through the launcher and from the
# program itself, and make no folder; the files named are those the program would use.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
home=$work/fresh-home
mkdir -p "$home"
bare() {  # option, program: no display, a fresh home; other arguments are ignored
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_DATA_HOME -u XDG_STATE_HOME \
        HOME="$home" "$2" ignored "$1" >"$work/option.out" 2>&1 ||
        fail "$2 $1: exit $?: $(cat "$work/option.out")"
}
for program in "$prefix/bin/tickora" "$prefix/libexec/tickora/tickora"; do
    folder=$home/.local/share/tickora
    [ "$program" = "$prefix/bin/tickora" ] || folder=$prefix/libexec/tickora
    bare --version "$program"
    [ "$(cat "$work/option.out")" = "tickora $version" ] || fail "--version: $(cat "$work/option.out")"
    bare --help "$program"
    for text in "$folder/base_data.ini" "$folder/銘柄URL.txt" "$folder/日経URL.txt" \
        "$home/.local/state/tickora" '"Watch real prices" of README.md'; do
        grep -qF "$text" "$work/option.out" || fail "$program --help names no $text: $(cat "$work/option.out")"
    done
    [ -z "$(ls -A "$home")" ] || fail "$program --help or --version made $(find "$home")"
done

start_quote_host "$prefix/bin/tickora-quote-host"

export QT_QPA_PLATFORM=offscreen
# Starts the program with the watch list of $1/base_data.ini set to one stock, $2, waits until
# its first pass asks for it, ends it with SIGTERM and checks the file kept the stock.
run_case() {  # folder, code, command...
    local folder=$1 code=$2
    shift 2
    mkdir -p "$folder"
    printf '[MEIGARA_DATA]\r\nNUM0=%s\r\nSIJOU0=東証\r\nKOSUU=1\r\n[LINK_JOUHOU]\r\nBASE_URL=http://127.0.0.1:%s/q?s=銘柄.市場\r\n' \
        "$code" "$port" | iconv -f UTF-8 -t CP932 >"$folder/base_data.ini"
    "$@" >"$work/tickora.log" 2>&1 &
    local app=$!
    pids+=("$app")
    wait_for 150 grep -qP "^\+\tGET\t/q\?s=$code\.t$" "$host_log" ||
        fail "$*: no request for $code reached the host"
    kill -TERM "$app"
    wait_for 100 sh -c "! kill -0 $app" || fail "$*: the program did not end on SIGTERM"
    wait "$app"
    [ $? -eq 0 ] || fail "$*: the program did not end cleanly"
    grep -qa "^NUM0=$code" "$folder/base_data.ini" || fail "$*: $folder/base_data.ini lost the stock"
}

data=$work/data
XDG_DATA_HOME=$data PATH="$prefix/bin:$PATH" run_case "$data/tickora" 1111 tickora
[ -z "$(find "$data/tickora" -type l)" ] || fail "the launcher left a link in the data folder"
# A first run, with no list yet, starts on the demo list in code page 932.
first=$work/first/tickora
XDG_DATA_HOME=$work/first "$prefix/bin/tickora" >"$work/tickora-first.log" 2>&1 &
pids+=($!)
wait_for 100 grep -q KOSUU=5 "$first/base_data.ini" || fail "the first run wrote no demo list"
kill -TERM "${pids[-1]}"
wait_for 100 sh -c "! kill -0 ${pids[-1]}" || fail "the first run did not end on SIGTERM"
iconv -f CP932 -t UTF-8 "$first/base_data.ini" | grep -qa '^SIJOU3=ＪＱ' || fail "demo list: $(cat "$first/base_data.ini")"

PATH="$prefix/libexec/tickora:$PATH" run_case "$prefix/libexec/tickora" 2222 tickora

mkdir -p "$work/elsewhere"
ln -s "$prefix/libexec/tickora/tickora" "$work/elsewhere/tickora"
run_case "$work/elsewhere" 3333 "$work/elsewhere/tickora"

# The probe reads the settings of the folder it runs in, as a user runs it beside the program.
(cd "$work/elsewhere" && "$prefix/bin/tickora-probe" 8058 >"$work/probe.out" 2>&1) ||
    fail "the installed probe: $(cat "$work/probe.out")"
grep -q '^mark=' "$work/probe.out" || fail "the installed probe cut no quote: $(cat "$work/probe.out")"

repo=$(dirname "$0")/../..
user=$work/user-prefix
# Folders there before, one holding another program's file and one empty, and a file of the
# user's put into a folder the install made: all stay, and only they.
mkdir -p "$user/share/applications" "$user/share/man"
others=("$user/share/applications/other.desktop" "$user/share/icons/hicolor/48x48/apps/other.png")
touch "${others[0]}"
TICKORA_BUILD_DIR=$build bash "$repo/scripts/install.sh" "$user" >"$work/install.log" 2>&1 ||
    fail "install.sh: $(tail "$work/install.log")"
[ -x "$user/bin/tickora" ] && [ -s "$user/lib/tickora/installed-files" ] || fail "install.sh installed nothing"
touch "${others[1]}"
XDG_DATA_HOME=$data bash "$repo/scripts/uninstall.sh" "$user" >"$work/uninstall.log" 2>&1 ||
    fail "uninstall.sh: $(cat "$work/uninstall.log")"
left=$(find "$user" -type f -o -type l | sort)
[ "$left" = "$(printf '%s\n' "${others[@]}")" ] || fail "uninstall.sh left: $left"
empty=$(find "$user" -mindepth 1 -type d -empty)
[ "$empty" = "$user/share/man" ] || fail "uninstall.sh left these empty folders: $empty"
[ -s "$data/tickora/base_data.ini" ] || fail "uninstall.sh took the user's settings"
grep -qF "your files in $data/tickora are kept" "$work/uninstall.log" || fail "uninstall.sh: $(cat "$work/uninstall.log")"
echo PASS
