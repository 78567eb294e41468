#!/usr/bin/env bash
# Measures the real program under Xvfb with trayer and the loopback quote host, each figure
# beside a bare Qt program (bench/bare_dialog.cpp) measured in the same run:
#   start-up to the first paint        vs the bare dialog with a 15-row table (goal 1.25x)
#   resident memory in the tray        vs the bare dialog behind a tray icon  (goal 1.2x)
#   CPU per minute in the tray, idle   vs the same bare program (goal within 1 ms/min)
# then the window benchmark on the same X server.
#   bench/app_measure.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
build=$(realpath "${1:-build}")
rounds=${2:-5}
tickora=$build/src/app/tickora
host=$build/tools/quote-host/quote-host
bare=$build/bench/tickora_bare_dialog
shim=$build/bench/libtickora_first_paint.so
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

# Xvfb takes the first free display itself and writes its number to fd 3 once it listens.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do grep -q '^[0-9]' "$work/display" 2>/dev/null && break; sleep 0.1; done
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
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

# Start-up: from just before exec to the first image the process puts on the X server. The
# two programs take turns so that both see the same machine.
first_paint() {  # program...; prints microseconds
  rm -f "$work/paint"
  local start app
  start=$(date +%s%N)
  (cd "$work" && FIRST_PAINT_FILE="$work/paint" LD_PRELOAD="$shim${LD_PRELOAD_EXTRA:+:$LD_PRELOAD_EXTRA}" exec "$@") &
  app=$!
  for _ in $(seq 500); do [ -s "$work/paint" ] && break; sleep 0.01; done
  kill "$app"; wait "$app" 2>/dev/null || true
  if [ -s "$work/paint" ]; then echo $((($(cat "$work/paint") - start) / 1000)); else echo 0; fi
}
ini 0
: >"$work/ours"; : >"$work/theirs"; : >"$work/curl"
# The third: the bare dialog with libcurl and its libraries loaded as well, which is what
# libcurl would cost a start; the program itself loads it with its first fetch.
curl_so=$(/sbin/ldconfig -p | awk '/libcurl\.so\.4 / {print $NF; exit}')
for _ in $(seq "$rounds"); do
  first_paint ./tickora >>"$work/ours"
  first_paint "$bare" >>"$work/theirs"
  LD_PRELOAD_EXTRA=$curl_so first_paint "$bare" >>"$work/curl"
done
ours=$(median <"$work/ours"); theirs=$(median <"$work/theirs")
echo "start-up to first paint $((ours / 1000)).$(((ours % 1000) / 100)) ms |" \
  "bare dialog with a 15-row table $((theirs / 1000)).$(((theirs % 1000) / 100)) ms |" \
  "ratio $(ratio "$ours" "$theirs") (goal 1.25, median of $rounds)"
withcurl=$(median <"$work/curl")
echo "the bare dialog with libcurl loaded: $((withcurl / 1000)).$(((withcurl % 1000) / 100)) ms," \
  "ratio $(ratio "$withcurl" "$theirs") to the bare dialog"

# In the tray, both at once: memory after the first pass, and CPU over 40 quiet seconds
# between the start-up pass and the next tick (60 s), from the scheduler's per-thread
# nanosecond run times (utime and stime in /proc/PID/stat count in 10 ms ticks).
ini 1
(cd "$work" && exec ./tickora) &
app=$!
pids+=($app)
"$bare" --tray &
ref=$!
pids+=($ref)
sleep 10
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{s += $1} END {print s}'; }
rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
a0=$(cpu_ns "$app"); r0=$(cpu_ns "$ref")
sleep 40
a1=$(cpu_ns "$app"); r1=$(cpu_ns "$ref")
ra=$(rss_kb "$app"); rr=$(rss_kb "$ref")
echo "resident memory in the tray $((ra / 1024)) MB | bare dialog with a tray icon" \
  "$((rr / 1024)) MB | ratio $(ratio "$ra" "$rr") (goal 1.2)"
awk -v a=$((a1 - a0)) -v r=$((r1 - r0)) 'BEGIN {
  printf "idle CPU in the tray %.2f ms/min | bare dialog with a tray icon %.2f ms/min | " \
         "difference %.2f ms/min (goal 1)\n", a / 40e6 * 60, r / 40e6 * 60, (a - r) / 40e6 * 60 }'
kill "$app" "$ref"; wait "$app" "$ref" 2>/dev/null || true

# UI-thread time per pass with the window shown on this X server.
[ -x "$build/bench/tickora_window_bench" ] && "$build/bench/tickora_window_bench" 2>/dev/null
exit 0
