#!/usr/bin/env bash
# Builds the workbench and starts it on its own sample program folder (./run): the
# program folder is the folder of the executable, with data, sys, image and report beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
# The workbench is a window program: without a graphical session it cannot start, so say so
# before spending minutes on the build.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Start it from a desktop session, or under a virtual display: xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target rod_workbench wb_make_samples
mkdir -p run
cp build/bin/rod_workbench run/
build/bin/wb_make_samples run
exec ./run/rod_workbench
