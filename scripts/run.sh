#!/usr/bin/env bash
# Sets up, builds, starts the loopback quote host and runs the program against it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tickora tickora-probe quote-host

# The program keeps its settings beside itself; run/ keeps them across rebuilds.
mkdir -p run
cp build/src/app/tickora run/tickora
if [ ! -f run/base_data.ini ]; then
  printf '%s\r\n' '[MEIGARA_DATA]' \
    'NUM0=8058' 'SIJOU0=東証' 'NUM1=7203' 'SIJOU1=東証' 'NUM2=6758' 'SIJOU2=大証' \
    'NUM3=2432' 'SIJOU3=ＪＱ' 'NUM4=3765' 'SIJOU4=ＨＣ' 'KOSUU=5' \
    'CHKOPENURL=1' 'CHKGOTASK=0' 'SELECTEDITEM=0' | iconv -f UTF-8 -t CP932 >run/base_data.ini
  echo "wrote a demo watch list into run/base_data.ini"
fi

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

build/tools/quote-host/quote-host --port 50505 >/dev/null &
pids+=($!)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "no desktop session: running on a virtual X server (:77) with a tray host; Ctrl+C ends it"
  Xvfb :77 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=:77
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 &
  pids+=($!)
fi

(cd run && ./tickora)
