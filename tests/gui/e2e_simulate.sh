#!/usr/bin/env bash
# End to end under Xvfb: starts `korvane --simulate`, waits for its window logic, starts the
# program a second time (which must end at once and bring the first forward), and saves a
# screenshot of the screen. Needs xvfb-run (package xvfb) and ImageMagick's `import`.
#   tests/gui/e2e_simulate.sh [build-dir] [screenshot.png]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build/default}
shot=${2:-$PWD/korvane-e2e.png}
program="$build/src/main/korvane"
[ -x "$program" ] || { echo "e2e: no program at $program" >&2; exit 1; }

if [ -z "${KORVANE_E2E_INNER:-}" ]; then
  export KORVANE_E2E_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" "$shot"
fi

work=$(mktemp -d)
trap 'kill "$first" 2>/dev/null || true; wait "$first" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/run"
export KORVANE_DATA_ROOT="$work/data" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
export KORVANE_DEBUG=1

start=$(date +%s%N)
"$program" --simulate >"$work/first.log" 2>&1 &
first=$!
for _ in $(seq 100); do
  grep -q '^windowinit' "$work/first.log" && break
  sleep 0.05
done
grep -q '^windowinit' "$work/first.log" || { cat "$work/first.log" >&2; echo "e2e: no windowinit" >&2; exit 1; }
echo "e2e: window logic up after $(( ($(date +%s%N) - start) / 1000000 )) ms"

# A second start ends without a window and tells the first.
timeout 5 "$program" --simulate >"$work/second.log" 2>&1 || { echo "e2e: second start failed" >&2; exit 1; }
for _ in $(seq 40); do
  grep -q '软件标示 activate' "$work/first.log" && break
  sleep 0.05
done
grep -q '软件标示 activate' "$work/first.log" || { echo "e2e: the first was not activated" >&2; exit 1; }
kill -0 "$first" || { echo "e2e: the first program ended" >&2; exit 1; }

sleep 1
# The window shows itself once a simulated device has connected.
grep -m1 '^window shown' "$work/first.log" || echo "e2e: the window did not show itself (no device connected?)"
import -window root "$shot"
echo "e2e: screenshot $shot"
