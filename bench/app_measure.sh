#!/usr/bin/env bash
# Measures the real program under Xvfb with trayer and the loopback quote host:
# start-up to the first mapped window, resident memory in the tray with 15 rows, and the
# CPU time used over a quiet stretch between refresh ticks.
#   bench/app_measure.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
tickora=$build/src/app/tickora
host=$build/tools/quote-host/quote-host
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
trayer --edge top --align right --widthtype pixel --width 120 --height 28 >/dev/null 2>&1 &
pids+=($!)
mkfifo "$work/host.out"
"$host" --port 0 >"$work/host.out" 2>&1 &
pids+=($!)
read -r line <"$work/host.out"
port=${line##*:}
sleep 0.5

ini() {  # CHKGOTASK
  {
    echo '[MEIGARA_DATA]'
    for i in $(seq 0 14); do echo "NUM$i=$((1301 + i * 7))"; echo "SIJOU$i=東証"; done
    echo 'KOSUU=15'; echo "CHKGOTASK=$1"
    echo '[LINK_JOUHOU]'; echo "BASE_URL=http://127.0.0.1:$port/q?s=銘柄.市場"
  } | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$work/base_data.ini"
}
cp "$tickora" "$work/tickora"

# Start-up: from exec to the window being mapped.
ini 0
start=$(date +%s%N)
(cd "$work" && exec ./tickora) &
app=$!
# Poll every 10 ms (xdotool's own --sync waits half a second between looks).
for _ in $(seq 1000); do
  xdotool search --onlyvisible --name 'TICKORA' >/dev/null 2>&1 && break
  sleep 0.01
done
mapped=$(date +%s%N)
echo "start-up to first shown window: $(((mapped - start) / 1000000)) ms"
kill "$app"; wait "$app" 2>/dev/null || true

# In the tray with 15 rows: memory after the first pass, CPU over 20 quiet seconds.
ini 1
(cd "$work" && exec ./tickora) &
app=$!
pids+=($app)
sleep 5
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
before=$(ticks)
sleep 20
after=$(ticks)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$app/status")
echo "resident memory in the tray, 15 rows: $((rss / 1024)) MB"
echo "CPU over 20 s between ticks: $(((after - before) * 1000 / $(getconf CLK_TCK))) ms"
