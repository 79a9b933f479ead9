#!/usr/bin/env bash
# An installed Korvane finds its skin, default files and device rule from its install prefix
# alone: install into a staging folder (DESTDIR), run the staged programs from another working
# folder with none of the folder variables set, and see that they read the staged files (the
# staged copies are altered so that the source tree's cannot pass for them).
#
#   staged_install_test.sh BUILD_DIR [STAGE_DIR]
#
# STAGE_DIR is left for the caller when given (tools/check-install lists it); else a temporary
# folder is used and removed.
set -euo pipefail

build=$(cd "${1:?usage: staged_install_test.sh BUILD_DIR [STAGE_DIR]}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
if [ -n "${2:-}" ]; then
  work=$2
  mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-install.XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi
root=$work/root
prefix=$root/usr
share=$prefix/share/korvane

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

rm -rf "$root"
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

# --- What the installation holds.
expect_file() {
  [ -f "$root/$1" ] || fail "not installed: /$1"
}
expect_file usr/bin/korvane
expect_file usr/bin/korvanectl
[ -x "$prefix/bin/korvane" ] && [ -x "$prefix/bin/korvanectl" ] || fail "programs not executable"
for file in main.ui msg.ui update.ui menu.xml setmenu.xml style.qss Font/angsab.ttf lan.xml \
  lan_en.xml lan_cn.xml lan_sn.xml lan_jp.xml lan_de.xml lan_ru.xml lan_fr.xml lan_th.xml \
  lan_pb.xml lan_sp.xml; do
  expect_file "usr/share/korvane/skin/$file"
done
# Every default file the source tree ships.
for file in "$source_dir"/data/*.led "$source_dir"/data/*.pro "$source_dir"/data/*.cur; do
  expect_file "usr/share/korvane/${file##*/}"
done
expect_file usr/lib/udev/rules.d/70-korvane.rules
expect_file usr/share/applications/org.korvane.Korvane.desktop
expect_file usr/share/metainfo/org.korvane.Korvane.metainfo.xml
expect_file usr/share/icons/hicolor/scalable/apps/korvane.svg
for size in 16 22 24 32 48 64 128 256; do
  png=usr/share/icons/hicolor/${size}x${size}/apps/korvane.png
  expect_file "$png"
  if [ -f "$root/$png" ]; then
    # PNG: signature, then the IHDR chunk with width and height (big-endian) at 16 and 20.
    dims=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "not-png")' "$root/$png")
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
  fi
done
expect_file usr/share/man/man1/korvane.1.gz
expect_file usr/share/man/man1/korvanectl.1.gz

# --- The staged copies differ from the source tree's: a text of the main window's page file
# and a colour byte of the mouse pad's default lighting file.
python3 - "$share" <<'PY'
import sys
share = sys.argv[1]
page = share + "/skin/main.ui"
text = open(page, encoding="utf-8").read()
assert "<string>tab_keyboard</string>" in text
open(page, "w", encoding="utf-8").write(
    text.replace("<string>tab_keyboard</string>", "<string>tab_keyboard_staged</string>", 1))
led = share + "/mpdengdefault.led"
data = bytearray(open(led, "rb").read())
data[0x19] = 0x40
open(led, "wb").write(bytes(data))
PY

# --- Run from elsewhere, with a home of its own and no folder variables.
home=$work/home
elsewhere=$work/elsewhere
rm -rf "$home" "$elsewhere"
mkdir -p "$home" "$elsewhere"
clean_env=(env -u KORVANE_SKIN_DIR -u KORVANE_PROGRAM_FOLDER -u KORVANE_DATA_ROOT -u KORVANE_SIM
  -u KORVANE_UPDATER -u KORVANE_UPDATE_URL -u KORVANE_HID_TRACE -u XDG_DOCUMENTS_DIR
  -u XDG_CONFIG_HOME "HOME=$home")
run_staged() {
  (cd "$elsewhere" && "${clean_env[@]}" "$@")
}

out=$(printf 'wait-for kb_tab visible=1\nprint kb_tab\nprint kb_deng_profile_combo\nprint mp_deng_profile_combo\n' |
  run_staged env KORVANE_DEBUG=1 "$prefix/bin/korvane" --headless --simulate --script - 2>"$work/stderr") ||
  fail "staged korvane ended with $?: $(cat "$work/stderr")"
grep -qxF "skin folder $share/skin, program folder $share" "$work/stderr" ||
  fail "folders not from the prefix: $(grep -m1 '^skin folder' "$work/stderr" || echo none named)"
grep -q '^kb_tab visible=1 .* text=tab_keyboard_staged$' <<<"$out" ||
  fail "the window did not come from the staged skin: $(grep '^kb_tab' <<<"$out")"
grep -q '^kb_deng_profile_combo .* count=1 ' <<<"$out" || fail "no seeded keyboard profile: $out"
data=$home/Documents/QV
cmp -s "$data/kb/New Profile 1.led" "$share/kbdengdefault.led" ||
  fail "keyboard profile not seeded from the staged default"
cmp -s "$data/mp/New Profile 1.led" "$share/mpdengdefault.led" ||
  fail "mouse pad profile not seeded from the staged (altered) default"
cmp -s "$data/ms/name_1.cur" "$share/name_1.cur" || fail "cursor file not copied from the prefix"
[ -z "$(ls -A "$elsewhere")" ] || fail "the working folder was written: $(ls -A "$elsewhere")"

# --- A device this user may not open: the advice names the rule installed with the program.
rule=$prefix/lib/udev/rules.d/70-korvane.rules
advice=$(run_staged "$prefix/bin/korvanectl" --simulate --sim-set fault=eacces table mouse 0 2>&1) &&
  fail "korvanectl opened a device it may not"
grep -qF "install the device rule: sudo cp $rule /etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger" <<<"$advice" ||
  fail "advice does not name the installed rule: $advice"
# The connection thread finds the device at once; the wait is only an upper bound.
out=$(printf 'wait 3000\n' | run_staged "$prefix/bin/korvane" --headless --simulate=mouse \
  --sim-set fault=eacces --script - 2>/dev/null) || fail "staged korvane ended with $?"

grep -qxF "message message_device_access_installed" <<<"$out" ||
  fail "the message box does not speak of the installed rule: $out"

# --- The variables still win over the prefix.
run_staged env KORVANE_DEBUG=1 KORVANE_SKIN_DIR="$source_dir/skin" KORVANE_PROGRAM_FOLDER="$work/defaults" \
  KORVANE_DATA_ROOT="$work/override-data" "$prefix/bin/korvane" --headless --simulate=none --script /dev/null \
  2>"$work/stderr" >/dev/null || fail "korvane with overrides ended with $?"
grep -qxF "skin folder $source_dir/skin, program folder $work/defaults" "$work/stderr" ||
  fail "overrides not taken: $(grep -m1 '^skin folder' "$work/stderr" || echo none named)"

if [ "$failures" -ne 0 ]; then
  echo "staged install: $failures failure(s)" >&2
  exit 1
fi
echo "staged install: the programs in $prefix/bin found their files from the prefix"
