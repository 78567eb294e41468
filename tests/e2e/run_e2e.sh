#!/bin/bash
# End to end: the real program under Xvfb with trayer as the notification area and the
# loopback quote host. Checks the window title, that a pass fills the window, that starting
# in the tray puts an icon into trayer and maps no window; leaves screenshots in OUT.
#   run_e2e.sh TICKORA_BIN QUOTE_HOST_BIN OUT_DIR
set -u
tickora_bin=$1
host_bin=$2
out=$3
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tries=$1
    shift
    for ((i = 0; i < tries; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
# A real X window, whatever platform the other tests were told to use.
export QT_QPA_PLATFORM=xcb
wait_for 50 xdpyinfo || fail "display $DISPLAY not reachable"

# The quote host on a free port.
mkfifo "$work/host.out"
"$host_bin" --port 0 --log "$work/host.log" >"$work/host.out" 2>&1 &
pids+=($!)
read -r -t 10 line <"$work/host.out" || fail "quote host did not start"
port=${line##*:}
[[ $port =~ ^[0-9]+$ ]] || fail "quote host said: $line"

# trayer owns the tray selection once its window exists. It is started again if it dies
# or is slow to appear (seen once on a loaded machine), with its log shown when it fails.
tray_up() { xwininfo -root -tree | grep -q '"panel"'; }
for attempt in 1 2 3; do
    trayer --edge top --align right --widthtype pixel --width 120 --height 28 \
        --transparent false --tint 0x808080 --SetDockType true >"$work/trayer.log" 2>&1 &
    tray_pid=$!
    wait_for 100 tray_up && break
    kill "$tray_pid" 2>/dev/null
    [ "$attempt" = 3 ] && { cat "$work/trayer.log" >&2; fail "trayer did not start"; }
done
pids+=("$tray_pid")
sleep 0.5

# The program folder: the binary and base_data.ini (code page 932) beside it.
prog="$work/prog"
mkdir -p "$prog"
cp "$tickora_bin" "$prog/tickora"
write_ini() {  # chkgotask
    printf '[MEIGARA_DATA]\r\nNUM0=8058\r\nSIJOU0=東証\r\nNUM1=7203\r\nSIJOU1=東証\r\nNUM2=6501\r\nSIJOU2=大証\r\nKOSUU=3\r\nCHKOPENURL=1\r\nCHKGOTASK=%s\r\nSELECTEDITEM=0\r\n[LINK_JOUHOU]\r\nBASE_URL=http://127.0.0.1:%s/q?s=銘柄.市場\r\n' \
        "$1" "$port" | iconv -f UTF-8 -t CP932 >"$prog/base_data.ini"
}

title='TICKORA株価 ver.060505'

# 1. Start windowed: the title, the first pass, a screenshot.
write_ini 0
"$prog/tickora" >"$work/tickora1.log" 2>&1 &
app=$!
pids+=($app)
wait_for 150 xdotool search --name 'ver\.060505' || fail "no main window"
win=$(xdotool search --name 'ver\.060505' | head -n1)
name=$(xdotool getwindowname "$win")
[[ $name == "$title" ]] || fail "window title is '$name'"
# Entry row, three indices and three rows: six requests make the first pass.
wait_for 150 sh -c "[ \$(grep -vc '^+' '$work/host.log') -ge 6 ]" || fail "the first pass did not run"
sleep 1
import -window root "$out/e2e-window.png" || fail "screenshot failed"
kill "$app"
wait "$app" 2>/dev/null

# 2. Start in the tray: an icon in trayer, no window mapped.
write_ini 1
"$prog/tickora" >"$work/tickora2.log" 2>&1 &
app=$!
pids+=($app)
panel=$(xwininfo -root -tree | awk '/"panel"/ {print $1; exit}')
[[ -n $panel ]] || fail "trayer's panel window is gone"
icon_in_tray() {
    # The icon is an XEMBED client window of the program reparented below the panel.
    xwininfo -id "$panel" -tree | grep -Eqi 'tickora|QSystemTrayIcon'
}
wait_for 150 icon_in_tray || { xwininfo -id "$panel" -tree >&2; fail "no tray icon"; }
sleep 1
if xdotool search --onlyvisible --name 'ver\.060505' >/dev/null 2>&1; then
    fail "the window is visible although the program started in the tray"
fi
import -window root "$out/e2e-tray.png" || fail "tray screenshot failed"
# After the first tip tick (2 s) the icon shows row 0, 8058, which the host makes rise:
# the red triangle, with no blue left of the program icon.
sleep 2.5
import -window root "$out/e2e-tray-tick.png" || fail "tray screenshot failed"
icon=$(xwininfo -id "$panel" -tree | grep -Ei 'tickora|QSystemTrayIcon' | head -n1 | awk '{print $1}')
geometry=$(xwininfo -id "$icon" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}')
colours=$(convert "$out/e2e-tray-tick.png" -crop "$geometry" +repage -format '%[fx:mean.r] %[fx:mean.b]' info:)
awk -v c="$colours" 'BEGIN {split(c, v, " "); exit !(v[1] - v[2] > 0.08)}' ||
    fail "tray icon after the tick is not the rise icon (mean red, blue: $colours; $geometry)"
kill "$app"
wait "$app" 2>/dev/null
echo "screenshots: $out/e2e-window.png $out/e2e-tray.png $out/e2e-tray-tick.png"
echo PASS
