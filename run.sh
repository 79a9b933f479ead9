#!/usr/bin/env bash
# Installs what the build needs, builds, and starts Korvane.
# Arguments are passed to the program. With no supported device attached the program
# starts with simulated devices (--simulate); pass --simulate yourself to always do so.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/setup.sh" default >&2
program="$top/build/default/src/main/korvane"
if [ ! -x "$program" ]; then
  echo "korvane: nothing to run (the build produced no program)" >&2
  exit 1
fi

# A supported device is a HID interface of vendor 0C45 or 320F with one of the family's
# product identifiers (sysfs names them BUS:VENDOR:PRODUCT.N).
device_attached() {
  local dev id vendor product
  for dev in /sys/bus/hid/devices/*; do
    [ -e "$dev" ] || continue
    id=${dev##*/}
    vendor=${id:5:4}
    product=${id:10:4}
    case "${vendor^^}" in 0C45 | 320F) ;; *) continue ;; esac
    case "${product^^}" in 8611 | 6556 | 6523 | 5006 | 5523 | 6656 | 764D | 5104) return 0 ;; esac
  done
  return 1
}

for arg in "$@"; do
  case "$arg" in --headless | --simulate | --simulate=*) exec "$program" "$@" ;; esac
done
if device_attached; then
  exec "$program" "$@"
fi
echo "korvane: no supported device attached; starting with simulated devices" >&2
exec "$program" --simulate "$@"
