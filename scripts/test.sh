#!/usr/bin/env bash
# Checks that the core folders include each other without a cycle, builds everything and
# runs every test through ctest; with --sanitize also builds the core, the window and the
# platform tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them. Every
# libFuzzer target in fuzz/ is built and run for a few seconds, so none stops building or
# running.
set -euo pipefail
cd "$(dirname "$0")/.."
# The core folders include each other in one order only (docs/DEVELOPING.md): a cycle fails here.
python3 scripts/check-core-includes.py
bash scripts/setup.sh
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
if [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-asan -DWB_CORE_ONLY=OFF -DWB_BENCH=OFF -DWB_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build build-asan -j"$jobs"
  lsan_supp="$PWD/tests/lsan.supp"  # the font library's own caches, not our leaks
  (cd build-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$lsan_supp" UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen \
     ctest --output-on-failure -j"$jobs")
fi
WB_FUZZ_JOBS="${WB_FUZZ_JOBS:-2}" bash scripts/fuzz.sh 5
