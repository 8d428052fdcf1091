#!/usr/bin/env bash
# Builds the workbench and starts it on its own sample program folder (./run): the
# program folder is the folder of the executable, with data, sys, image and report beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target rod_workbench wb_make_samples
mkdir -p run
cp build/bin/rod_workbench run/
build/bin/wb_make_samples run
exec ./run/rod_workbench
