#!/usr/bin/env bash
# Installs what the build needs, builds, and runs the whole test suite.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/setup.sh" default
cd "$top"
exec ctest --preset default -j "$(nproc)" "$@"
