#!/usr/bin/env bash
# Installs what the build needs, builds, and starts Korvane.
# Arguments are passed to the program.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/setup.sh" default >&2
bin="$top/build/default"
if [ -x "$bin/src/main/korvane" ] && [ "${1:-}" = "--headless" ]; then
  exec "$bin/src/main/korvane" "$@"
elif [ -x "$bin/src/cli/korvanectl" ]; then
  # Until the windowed program exists, show the devices through the command-line tool.
  if [ $# -eq 0 ]; then set -- --simulate list; fi
  exec "$bin/src/cli/korvanectl" "$@"
else
  echo "korvane: nothing to run yet (the build produced no program)" >&2
  exit 1
fi
