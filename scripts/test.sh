#!/usr/bin/env bash
# Sets up the machine, builds and runs every test.
#   scripts/test.sh             formatting check, normal build (warnings as errors), all tests
#   scripts/test.sh --sanitize  AddressSanitizer + UBSan build of the same tests, a
#                               ThreadSanitizer build of the toolkit-free threading tests, then a
#                               bounded run of each fuzz target (clang's libFuzzer)
#   scripts/test.sh --package   the Debian package built, checked, unpacked, and (as root)
#                               installed and removed
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh

jobs=$(nproc)
mode=${1:-normal}

run_ctest() {  # build dir, then extra ctest arguments
  local dir=$1
  shift
  # The Xvfb end-to-end test and the widget tests need no display of the user's.
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j"$jobs" "$@")
}

sources() {
  if git rev-parse --git-dir >/dev/null 2>&1; then
    git ls-files -- src tests tools bench fuzz | grep -E '\.(cpp|h)$'
  else
    find src tests tools bench fuzz -name '*.cpp' -o -name '*.h'
  fi
}

case "$mode" in
  normal)
    sources | xargs clang-format --dry-run --Werror
    echo "formatting holds"
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTICKORA_WERROR=ON >/dev/null
    cmake --build build -j"$jobs"
    run_ctest build
    ;;
  --sanitize)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTICKORA_WERROR=ON \
      -DTICKORA_SANITIZE=ON -DTICKORA_BUILD_BENCH=OFF >/dev/null
    cmake --build build-asan -j"$jobs"
    # The slow unwinder records whole allocation stacks, so the leak suppressions can name the
    # exact frame of a library's one-time allocation instead of a whole library.
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0:malloc_context_size=30
    export LSAN_OPTIONS=suppressions=$root/.ci/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    run_ctest build-asan
    unset ASAN_OPTIONS LSAN_OPTIONS

    # The toolkit-free threading (gateway, worker set, refresh pass) under ThreadSanitizer.
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTICKORA_WERROR=ON \
      -DTICKORA_TSAN=ON -DTICKORA_BUILD_GUI=OFF -DTICKORA_BUILD_BENCH=OFF >/dev/null
    cmake --build build-tsan -j"$jobs"
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
      run_ctest build-tsan -R 'UiGateway|WorkerSet|RefreshPass|Fetch'

    if command -v clang++ >/dev/null; then
      CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTICKORA_FUZZ=ON -DTICKORA_BUILD_GUI=OFF -DTICKORA_BUILD_TESTS=OFF \
        -DTICKORA_BUILD_BENCH=OFF -DTICKORA_BUILD_TOOLS=OFF >/dev/null
      cmake --build build-fuzz -j"$jobs"
      for target in build-fuzz/fuzz/*_fuzz; do
        echo "fuzzing $(basename "$target")"
        "$target" -runs=50000 -max_len=4096 -rss_limit_mb=2048 >/dev/null 2>"$target.log" ||
          { tail -n 40 "$target.log"; exit 1; }
      done
      echo "fuzz targets ran clean"
    fi
    ;;
  --package)
    bash scripts/package.sh
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j"$jobs" --target quote-host
    deb=$(ls dist/tickora_*.deb | tail -n1)
    status=0
    bash tests/package/run_package_test.sh "$deb" build/tools/quote-host/quote-host || status=$?
    case $status in
      0) echo "package: 1 passed, 0 failed" ;;
      77) echo "package: 0 passed, 0 failed, 1 skipped (installing and removing needs root)" ;;
      *) echo "package: 0 passed, 1 failed"; exit 1 ;;
    esac
    ;;
  *)
    echo "usage: $0 [--sanitize | --package]" >&2
    exit 2
    ;;
esac
