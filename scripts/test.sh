#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build,
# then the sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer).
# Fuzz targets replay their committed corpora as ordinary tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DTALLOWIN_BENCH=OFF "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${TALLOWIN_SKIP_SANITIZE:-0}" != "1" ]; then
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTALLOWIN_SANITIZE=ON
fi
