#!/usr/bin/env bash
# Start-up time: launches the workbench offscreen N times (default 9) from a fresh program
# folder and prints each time from launch until the main window's first paint, then the
# median. Usage: scripts/startup-time.sh [N] [path/to/rod_workbench]
# (default binary: build-rel/bin, else build/bin). Build Release for figures worth quoting.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
bin=${2:-}
if [[ -z "$bin" ]]; then
  for b in build-rel/bin/rod_workbench build/bin/rod_workbench; do
    [[ -x "$b" ]] && { bin=$b; break; }
  done
fi
[[ -x "$bin" ]] || { echo "no rod_workbench binary (build it first)" >&2; exit 1; }
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bin" "$folder/rod_workbench"
times=()
for ((i = 1; i <= runs; i++)); do
  # On the window tests' 1920 x 1200 desktop, where the main window opens at its full size.
  out=$(WB_STARTUP_T0_NS=$(date +%s%N) WB_STARTUP_REPORT=quit \
        QT_QPA_PLATFORM="offscreen:configfile=$(pwd)/tests/ui/screens/desktop.json" \
        timeout 30 "$folder/rod_workbench" 2>/dev/null | grep -m1 '^startup-ms ' || true)
  if [[ -z "$out" ]]; then
    echo "run $i: no start-up time reported (within 30 s); left out" >&2
    continue
  fi
  ms=${out#startup-ms }
  times+=("$ms")
  echo "run $i: $ms ms"
done
((${#times[@]} > 0)) || { echo "no run reported a time" >&2; exit 1; }
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}')
echo "median: $median ms over ${#times[@]} runs"
