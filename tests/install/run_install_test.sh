#!/bin/bash
# The installed program: `cmake --install` into a temporary prefix, then three ways to start
# it, each against the installed quote host and ended by SIGTERM:
#   - the launcher on PATH, by name: the settings live in $XDG_DATA_HOME/tickora;
#   - the binary by name through PATH: the settings live beside the binary PATH found;
#   - a symbolic link in another folder: the settings live beside the link.
# and the installed probe reading a quote of that host.
#   run_install_test.sh BUILD_DIR
set -u
build=$1
source "$(dirname "$0")/../support/harness.sh"
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/tickora.log" ] && tail -n 20 "$work/tickora.log" >&2
    exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" --component tickora >"$work/install.log" ||
    fail "install: $(cat "$work/install.log")"
for file in bin/tickora bin/tickora-probe bin/tickora-quote-host libexec/tickora/tickora; do
    [ -x "$prefix/$file" ] || fail "$file is not installed as a program"
done
for file in share/applications/tickora.desktop share/icons/hicolor/16x16/apps/tickora.png \
    share/icons/hicolor/32x32/apps/tickora.png; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
done
grep -qx 'Exec=tickora' "$prefix/share/applications/tickora.desktop" || fail "desktop entry"

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
[ -L "$data/tickora/tickora" ] || fail "the launcher left no link in the data folder"

PATH="$prefix/libexec/tickora:$PATH" run_case "$prefix/libexec/tickora" 2222 tickora

mkdir -p "$work/elsewhere"
ln -s "$prefix/libexec/tickora/tickora" "$work/elsewhere/tickora"
run_case "$work/elsewhere" 3333 "$work/elsewhere/tickora"

# The probe reads the settings of the folder it runs in, as a user runs it beside the program.
(cd "$work/elsewhere" && "$prefix/bin/tickora-probe" 8058 >"$work/probe.out" 2>&1) ||
    fail "the installed probe: $(cat "$work/probe.out")"
grep -q '^mark=' "$work/probe.out" || fail "the installed probe cut no quote: $(cat "$work/probe.out")"
echo PASS
