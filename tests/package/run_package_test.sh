#!/bin/bash
# The Debian package as a desktop user meets it: lintian and appstreamcli find nothing wrong,
# its launcher unpacked anywhere shows the window, and, where this runs as root, apt installs
# it, its menu entry's command starts it, and apt removes it leaving only the user's files;
# the packages that came with it go again, so the machine is left as it was.
#   run_package_test.sh DEB QUOTE_HOST_BIN
set -u
deb=$(readlink -f "$1")
host_bin=$2
source "$(dirname "$0")/../support/harness.sh"

lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian: $(grep -v 'root privileges' "$work/lintian.log")"
dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml >"$work/as.log" 2>&1 ||
    fail "appstreamcli: $(cat "$work/as.log")"
for dep in 'fonts-ipafont-gothic | fonts-noto-cjk' libqt6widgets6 libcurl4; do
    dpkg-deb -f "$deb" Depends | grep -qF "$dep" || fail "no dependency on $dep"
done
dpkg-deb -f "$deb" Depends | grep -q wayland && fail "qt6-wayland is a dependency, not a recommendation"
[ "$(dpkg-deb -f "$deb" Recommends)" = qt6-wayland ] || fail "qt6-wayland is not recommended"

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
start_quote_host "$host_bin"

# Starts a command as a user with a home of its own whose watch list holds one stock of the
# test's quote host, waits for the window and for its request, and ends it with SIGTERM.
run_as_user() {  # home, command...
    local home=$1 data=$1/.local/share/tickora
    shift
    mkdir -p "$data"
    printf '[MEIGARA_DATA]\r\nNUM0=8058\r\nSIJOU0=東証\r\nKOSUU=1\r\n[LINK_JOUHOU]\r\nBASE_URL=http://127.0.0.1:%s/q?s=銘柄.市場\r\n' \
        "$port" | iconv -f UTF-8 -t CP932 >"$data/base_data.ini"
    HOME=$home XDG_DATA_HOME= "$@" >"$work/tickora.log" 2>&1 &
    local app=$!
    pids+=("$app")
    wait_for 150 xdotool search --onlyvisible --name 'TICKORA株価 ver\.060505' ||
        fail "$*: no window"
    wait_for 100 grep -qP '^GET\t/q\?s=8058\.t\t' "$host_log" || fail "$*: no quote asked for"
    kill -TERM "$app"
    wait_for 100 sh -c "! kill -0 $app" || fail "$*: did not end on SIGTERM"
    grep -qa '^NUM0=8058' "$data/base_data.ini" || fail "$*: the settings were not kept"
}

run_as_user "$work/unpacked-home" "$work/root/usr/bin/tickora"
echo "the unpacked launcher shows the window"

if [ "$(id -u)" -ne 0 ]; then
    # Not a pass: what only root can try was not tried. 77 is the common code for "skipped".
    echo "SKIP: installing and removing the package needs root; the rest held"
    exit 77
fi
dpkg-query -W tickora >/dev/null 2>&1 && fail "tickora is installed already: left as it is"
dpkg-query -W -f='${Package}\n' | sort >"$work/before"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 || fail "apt-get install: $(tail "$work/apt.log")"
dpkg -L tickora | while read -r f; do [ -f "$f" ] && echo "$f"; done >"$work/files"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/tickora.desktop)
home=$work/home
run_as_user "$home" $exec_line
echo "the menu entry's command starts the installed program"
apt-get remove -y -qq tickora >>"$work/apt.log" 2>&1 || fail "apt-get remove: $(tail "$work/apt.log")"
came=$(dpkg-query -W -f='${Package}\n' | sort | comm -13 "$work/before" -)
[ -z "$came" ] || apt-get purge -y -qq $came >>"$work/apt.log" 2>&1
while read -r f; do [ -e "$f" ] && fail "$f is left behind"; done <"$work/files"
[ -s "$home/.local/share/tickora/base_data.ini" ] || fail "the user's settings went with the package"
[ -z "$(find "$home" -type l)" ] || fail "a link is left in the user's folder"
echo "removed: nothing of the package is left, the user's files are"
echo PASS
