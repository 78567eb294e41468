#!/bin/bash
# End to end: the real program under Xvfb with trayer as the notification area, the loopback
# quote host, a recording xdg-open, real pointer and keys. Checks the window and the first
# pass, adding a stock with a click, dragging a row, opening a link by a double click, the
# settings and tray menus, Escape, the end by SIGTERM, SIGHUP and SIGINT, a status-notifier
# host on a private bus, a desktop without Japanese fonts, and a display that goes away;
# base_data.ini holds what was done.
# Leaves screenshots in OUT.
#   run_e2e.sh TICKORA_BIN QUOTE_HOST_BIN OUT_DIR
set -u
tickora_bin=$1
host_bin=$2
out=$3
here=$(dirname "$0")
mkdir -p "$out"
source "$here/../support/harness.sh"
step() {  # each scenario looks only at the host log lines written since it began
    echo "== $(date +%T) $*"
    since=$(wc -l <"$host_log")
}

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
pids+=("$xvfb")
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb  # a real X window, whatever the other tests were told to use
unset BROWSER DEFAULT_BROWSER
# No session bus unless a step starts one: a bus address that leads nowhere, rather than none,
# which would have the D-Bus library try to launch a bus of its own.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
wait_for 50 xdpyinfo || fail "display $DISPLAY not reachable"

start_quote_host "$host_bin"
answered() { tail -n +$((since + 1)) "$host_log" | grep -qP "^GET\t\Q$1\E\t"; }

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

# Links go to a recording xdg-open, first on the program's PATH.
mkdir -p "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

# The program folder: the binary and base_data.ini (code page 932) beside it.
prog=$work/prog
mkdir -p "$prog"
cp "$tickora_bin" "$prog/tickora"
ini=$prog/base_data.ini
write_ini() {  # start-in-tray flag, then the codes
    local tray=$1 n=0 rows=
    shift
    for code in "$@"; do
        rows+="NUM$n=$code\r\nSIJOU$n=東証\r\n"
        n=$((n + 1))
    done
    local links="[LINK_JOUHOU]\r\nBASE_URL=http://127.0.0.1:$port/q?s=銘柄.市場\r\n"
    printf "[MEIGARA_DATA]\r\n${rows}KOSUU=$n\r\nCHKOPENURL=1\r\nCHKGOTASK=$tray\r\nSELECTEDITEM=0\r\n$links" |
        iconv -f UTF-8 -t CP932 >"$ini"
}
ini_text() { iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r'; }
saved() { ini_text | grep -qx "$1"; }
start_app() {  # log name
    PATH="$work/bin:$PATH" "$prog/tickora" >"$work/tickora-$1.log" 2>&1 &
    app=$!
    pids+=("$app")
}
ended() { ! kill -0 "$app" 2>/dev/null; }
wait_end() {
    wait_for 100 ended || fail "$1: the program did not end"
    wait "$app" 2>/dev/null
}

# The main window and where its controls are: the layout is in dialog units, 351 x 213 of
# them across the client area.
find_window() {
    wait_for 150 xdotool search --onlyvisible --name 'ver\.060505' || fail "no main window"
    win=$(xdotool search --onlyvisible --name 'ver\.060505' | head -n1)
    eval "$(xdotool getwindowgeometry --shell "$win")"
}
px() { echo $((X + $1 * WIDTH / 351)) $((Y + $2 * HEIGHT / 213)); }
click_at() { xdotool mousemove $(px "$1" "$2") click "${3:-1}"; }
# The centre of list row $1: rows are a font height plus 4 pixels, under a header a little
# higher than a row; the list starts 40 dialog units down.
row_y() {
    local font=$((HEIGHT * 8 / 213)) top=$((40 * HEIGHT / 213))
    echo $((Y + top + font + 8 + $1 * (font + 4) + (font + 4) / 2))
}
type_code() {  # code: into the code edit, then wait for its preview to be answered
    click_at 21 31
    xdotool type --delay 20 "$1"
    wait_for 100 answered "/q?s=$1.t" || fail "no preview of $1"
}

title='TICKORA株価 ver.060505'

step "the window, the first pass, adding with a click, a drag, a link, Escape, the settings menu"
write_ini 0 8058 7203 6501
start_app window
find_window
[[ $(xdotool getwindowname "$win") == "$title" ]] ||
    fail "window title is '$(xdotool getwindowname "$win")'"
xdotool windowfocus --sync "$win"
wait_for 150 sh -c "[ \$(grep -vc '^+' '$work/host.log') -ge 6 ]" || fail "the first pass did not run"
import -window root "$out/e2e-window.png" || fail "screenshot failed"
type_code 9984
click_at 41 13  # "リストへ追加": row 0 is selected, the stock goes in front of it
# Row 3 (6501) dragged up onto row 1 (8058) lands before it: 9984 6501 8058 7203.
list_x=$((X + 60 * WIDTH / 351))
xdotool mousemove "$list_x" "$(row_y 3)" mousedown 1
for y in $(seq "$(row_y 3)" -4 "$(row_y 1)"); do xdotool mousemove "$list_x" "$y"; done
xdotool mouseup 1
# A double click on row 0 opens its stock link.
xdotool mousemove "$list_x" "$(row_y 0)" click --repeat 2 --delay 60 1
wait_for 50 grep -qx "http://127.0.0.1:50505/q?s=9984.t" "$work/opened" ||
    fail "the double click opened: $(cat "$work/opened" 2>/dev/null)"
import -window root "$out/e2e-edited.png"
xdotool key Escape
type_code 7777  # keys after Escape reach the window, so Escape has been handled
xdotool search --onlyvisible --name 'ver\.060505' >/dev/null || fail "Escape closed the window"
click_at 19 199  # "設定"; its menu's last item is "閉じる"
xdotool key --delay 100 Up Return
wait_end "閉じる"
for expected in NUM0=9984 NUM1=6501 NUM2=8058 NUM3=7203 KOSUU=4; do
    saved "$expected" || fail "base_data.ini lacks $expected: $(ini_text)"
done

for signal in TERM HUP INT; do
    step "SIG$signal saves what was done"
    write_ini 0 8058
    start_app "sig$signal"
    find_window
    xdotool windowfocus --sync "$win"
    type_code 9984
    xdotool key Return  # Enter in the code edit adds the stock
    type_code 7777      # the add has been handled before these keys
    kill -s "$signal" "$app"
    wait_end "SIG$signal"
    saved NUM0=9984 && saved KOSUU=2 || fail "SIG$signal: $(ini_text)"
done

step "started in the tray: the icon, its tick, its menu"
write_ini 1 8058 7203 6501
start_app tray
panel=$(xwininfo -root -tree | awk '/"panel"/ {print $1; exit}')
icon_window() { xwininfo -id "$panel" -tree | grep -Ei 'tickora|QSystemTrayIcon' | head -n1 | awk '{print $1}'; }
icon_there() { [ -n "$(icon_window)" ]; }
wait_for 150 icon_there || { xwininfo -id "$panel" -tree >&2; fail "no tray icon"; }
if xdotool search --onlyvisible --name 'ver\.060505' >/dev/null 2>&1; then
    fail "the window is visible although the program started in the tray"
fi
import -window root "$out/e2e-tray.png"
# After the first tip tick the icon shows row 0, 8058, which the host makes rise: red.
icon=$(icon_window)
eval "$(xdotool getwindowgeometry --shell "$icon")"
rises() {
    import -window root "$work/tray.png" &&
        convert "$work/tray.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
            -format '%[fx:mean.r] %[fx:mean.b]' info: >"$work/colours" &&
        awk '{exit !($1 - $2 > 0.08)}' "$work/colours"
}
wait_for 60 rises || fail "the tray icon did not turn to the rise icon ($(cat "$work/colours"))"
cp "$work/tray.png" "$out/e2e-tray-tick.png"
# The right-click menu: its last items are "起動時タスクトレイに常駐する" and "閉じる".
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
xdotool key --delay 150 Up Up Return
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
xdotool key --delay 150 Up Return
wait_end "the tray menu's 閉じる"
saved CHKGOTASK=0 || fail "the tray menu's toggle was not saved: $(ini_text)"

step "a status-notifier host on a private bus: two activations bring the window back"
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >/dev/null 2>&1 &
pids+=($!)
wait_for 50 test -s "$work/bus" || fail "no private session bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
# The system's Python: it has the D-Bus and GLib bindings.
/usr/bin/python3 "$here/sni_stand_in.py" >"$work/sni.log" 2>&1 &
pids+=($!)
wait_for 50 grep -q ready "$work/sni.log" || fail "the stand-in host did not start: $(cat "$work/sni.log")"
write_ini 1 8058
start_app sni
wait_for 100 grep -q "activated twice" "$work/sni.log" || fail "no item registered: $(cat "$work/sni.log")"
find_window
kill -TERM "$app"
wait_end "SNI"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus

step "no font with Japanese characters: the program names the packages that bring one"
printf '<?xml version="1.0"?>\n<fontconfig><dir>%s/no-fonts</dir><cachedir>%s/fc-cache</cachedir></fontconfig>\n' \
    "$work" "$work" >"$work/no-fonts.conf"
write_ini 0 8058
FONTCONFIG_FILE=$work/no-fonts.conf start_app nofont
wait_for 100 grep -q "apt-get install fonts-ipafont-gothic" "$work/tickora-nofont.log" ||
    fail "no word about the missing font"
kill -TERM "$app"
wait_end "no fonts"

step "the display goes away: what was done is saved all the same"
write_ini 0 8058
start_app nodisplay
find_window
xdotool windowfocus --sync "$win"
type_code 9984
xdotool key Return
type_code 7777
kill "$xvfb"
wait_end "the display's end"
saved NUM0=9984 || fail "the lost display lost the session: $(ini_text)"

echo "screenshots: $out/e2e-window.png $out/e2e-edited.png $out/e2e-tray.png $out/e2e-tray-tick.png"
echo PASS
