#!/usr/bin/env bash
# The window as a user uses it: starts the real `korvane --simulate` under Xvfb, clicks every
# device tab and every page tab of each device view with real pointer events, and checks
# that each click shows its page: the program reports the page's widget on screen
# (KORVANE_DEBUG_GEOMETRY=1) and the screen changes where the page is. Saves a picture of
# the window for every page, and checks that a second start brings the first one forward.
# Needs Xvfb, xdotool and ImageMagick (import, identify).
#   tests/gui/window_acceptance.sh [build-dir] [picture-dir]
# Exits 1 naming the first page that did not show.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$top/build/default}" && pwd)
out=${2:-$build/window-acceptance}
program="$build/src/main/korvane"
[ -x "$program" ] || { echo "acceptance: no program at $program" >&2; exit 1; }
for tool in Xvfb xdotool import identify; do
  command -v "$tool" >/dev/null || { echo "acceptance: $tool is missing" >&2; exit 1; }
done

# Generous limits: CI shares two cores between this and everything else.
window_limit=${KORVANE_ACCEPTANCE_WINDOW_S:-40}
click_limit=${KORVANE_ACCEPTANCE_CLICK_S:-15}

work=$(mktemp -d)
pids=()        # Xvfb and the window manager
program_pid="" # the program of the current run
cleanup() {
  local pid
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  [ -z "$program_pid" ] || wait "$program_pid" 2>/dev/null || true
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$out"
rm -f "$out"/*.png

fail() {
  echo "acceptance: FAILED: $*" >&2
  if [ -n "${log:-}" ] && [ -f "$log" ]; then
    echo "--- last lines of the program's output:" >&2
    tail -n 40 "$log" >&2
  fi
  exit 1
}

# Polls a condition (a command) every 50 ms until it holds or the limit (seconds) is up.
wait_until() {
  local limit=$1
  shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    if [ -n "$program_pid" ] && ! kill -0 "$program_pid" 2>/dev/null; then
      echo "acceptance: the program has ended" >&2
      return 1
    fi
    sleep 0.05
  done
}

# --- the X server ------------------------------------------------------------------------
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x800x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
has_display() { [ -s "$work/display" ]; }
wait_until 20 has_display || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY
echo "acceptance: Xvfb on $DISPLAY"
# A window manager, when asked for (KORVANE_ACCEPTANCE_WM=openbox): it may place the window
# elsewhere; the clicks follow what the program reports.
if [ -n "${KORVANE_ACCEPTANCE_WM:-}" ]; then
  command -v xprop >/dev/null || fail "xprop (x11-utils) is missing"
  "$KORVANE_ACCEPTANCE_WM" >"$work/wm.log" 2>&1 &
  pids+=($!)
  wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_until 20 wm_ready || fail "the window manager did not start: $(cat "$work/wm.log")"
fi

# --- reading what the program reports ----------------------------------------------------
# The last complete geometry block: its number on the first line, then "NAME X Y W H" lines.
last_block() {
  awk '/^geometry begin /{ n = $3; buf = ""; open = 1; next }
       /^geometry end / { if (open && $3 == n) { last = buf; seq = n } open = 0; next }
       open && /^geometry / { buf = buf $2 " " $3 " " $4 " " $5 " " $6 "\n" }
       END { printf "%s\n%s", (seq == "" ? 0 : seq), last }' "$log"
}
block_seq() { last_block | head -n1; }
# "X Y W H" of a widget on screen in the last block; nothing when it is not shown.
where() { last_block | awk -v n="$1" 'NR > 1 && $1 == n { print $2, $3, $4, $5 }'; }
shown() { [ -n "$(where "$1")" ]; }
# A new block after `since` that shows the page.
shown_after() { [ "$(block_seq)" -gt "$1" ] && shown "$2"; }
count_lines() { grep -c -x -F "$1" "$log" || true; }
more_lines() { [ "$(count_lines "$1")" -gt "$2" ]; }

# Pixel signature of a region of a picture.
signature() { identify -format '%#' "$1[$2x$3+$4+$5]"; }
region_changed() {
  import -window root "$work/after.png" 2>/dev/null || return 1
  [ "$(signature "$work/after.png" "$@")" != "$before_signature" ]
}

# --- one run of the program --------------------------------------------------------------
# Pages of each device view, in click order: each click leaves the page shown before, and
# the last one returns to the view's first page.
keyboard_pages="kb_keyset_Op_tab:kb_keyset_page kb_macro_Op_tab:kb_macro_page kb_deng_Op_tab:kb_deng_page"
mouse_pages="ms_keyset_Op_tab:ms_keyset_page ms_macro_Op_tab:ms_macro_page ms_DPI_Op_tab:ms_dpi_page"
mouse_pages="$mouse_pages ms_cursor_Op_tab:ms_cursor_page ms_deng_Op_tab:ms_deng_page"
# The second mouse model has no cursor sequences.
mouse2_pages="ms_keyset_Op_tab:ms_keyset_page ms_macro_Op_tab:ms_macro_page ms_DPI_Op_tab:ms_dpi_page"
mouse2_pages="$mouse2_pages ms_deng_Op_tab:ms_deng_page"
# The mouse pad has one page: its tab keeps it.
pad_pages="mp_deng_Op_tab:mp_deng_page"

pages_of() {
  case "$1" in
    kb_tab | kb_onecolor_tab | kb_film_tab | kb_membrane_tab) echo "$keyboard_pages" ;;
    ms_tab) echo "$mouse_pages" ;;
    ms2_tab) echo "$mouse2_pages" ;;
    mp_tab) echo "$pad_pages" ;;
  esac
}
panel_of() {
  case "$1" in
    kb_*) echo kb_tab_panel ;;
    ms_tab | ms2_tab) echo ms_tab_panel ;;
    mp_tab) echo mp_tab_panel ;;
  esac
}

clicks=0
# Clicks a tab in its middle and checks that its page shows; "stays" when the page is shown
# already and must remain so.
click_tab() {
  local run=$1 tab=$2 page=$3
  local x y w h px py pw ph seq selected
  read -r x y w h <<<"$(where "$tab")" || true
  [ -n "${h:-}" ] || fail "$run: the tab $tab is not on screen"
  local stays=0
  shown "$page" && stays=1
  seq=$(block_seq)
  selected=$(count_lines "selectchanged $tab")
  if [ "$stays" = 0 ]; then
    # The page will take the place of the page its layout shows now: the same region.
    import -window root "$work/before.png"
  fi
  xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) click 1
  wait_until "$click_limit" more_lines "selectchanged $tab" "$selected" ||
    fail "$run: the click on $tab did not reach the program"
  if [ "$stays" = 1 ]; then
    shown "$page" || fail "$run: $tab hid its own page $page"
  else
    wait_until "$click_limit" shown_after "$seq" "$page" ||
      fail "$run: $tab did not show its page $page"
    read -r px py pw ph <<<"$(where "$page")"
    before_signature=$(signature "$work/before.png" "$pw" "$ph" "$px" "$py")
    wait_until "$click_limit" region_changed "$pw" "$ph" "$px" "$py" ||
      fail "$run: the screen did not change where $page shows after a click on $tab"
  fi
  clicks=$((clicks + 1))
  read -r x y w h <<<"$(where window)"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage \
    "$(printf '%s/%s-%02d-%s.png' "$out" "$run" "$clicks" "$tab")"
  echo "acceptance: $run: $tab shows $page$([ "$stays" = 1 ] && echo ' (already shown)')"
}

start_program() {
  local run=$1 models=$2
  mkdir -p "$work/$run"
  mkdir -m 700 "$work/$run/runtime"
  log="$work/$run/program.log"
  : >"$log"
  KORVANE_DATA_ROOT="$work/$run/data" XDG_RUNTIME_DIR="$work/$run/runtime" \
    XDG_CONFIG_HOME="$work/$run/config" KORVANE_DEBUG=1 KORVANE_DEBUG_GEOMETRY=1 \
    "$program" --simulate="$models" >"$log" 2>&1 &
  program_pid=$!
}

stop_program() {
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
}

# run NAME MODELS DEVICE_TAB...: every device tab, each followed by the pages of its view.
run() {
  local name=$1 models=$2
  shift 2
  local tabs=("$@") started=$SECONDS
  start_program "$name" "$models"
  wait_until "$window_limit" shown window || fail "$name: the window did not show itself"
  local tab
  for tab in "${tabs[@]}"; do
    wait_until "$window_limit" shown "$tab" || fail "$name: the device tab $tab did not appear"
  done
  # Start with the tab after the view on screen, so that every device tab changes the page.
  local first=0 i
  for i in "${!tabs[@]}"; do
    shown "$(panel_of "${tabs[$i]}")" && first=$(((i + 1) % ${#tabs[@]}))
  done
  local step entry
  for ((step = 0; step < ${#tabs[@]}; step++)); do
    tab=${tabs[$(((first + step) % ${#tabs[@]}))]}
    click_tab "$name" "$tab" "$(panel_of "$tab")"
    for entry in $(pages_of "$tab"); do
      click_tab "$name" "${entry%%:*}" "${entry#*:}"
    done
  done
  echo "acceptance: $name took $((SECONDS - started)) s"
}

began=$SECONDS
run full rgb-keyboard,mouse,mousepad kb_tab ms_tab mp_tab

# A second start ends at once and brings the first forward.
activations=$(count_lines "软件标示 activate")
XDG_RUNTIME_DIR="$work/full/runtime" KORVANE_DATA_ROOT="$work/full/data" \
  timeout 20 "$program" --simulate >"$work/second.log" 2>&1 ||
  fail "a second start did not end by itself: $(cat "$work/second.log")"
wait_until "$click_limit" more_lines "软件标示 activate" "$activations" ||
  fail "a second start did not bring the first forward"
kill -0 "$program_pid" 2>/dev/null || fail "the first program ended when a second one started"
stop_program

run mono mono-keyboard,mouse2 kb_onecolor_tab ms2_tab
stop_program
run region region-keyboard,mousepad kb_film_tab mp_tab
stop_program
run membrane membrane-keyboard,mousepad kb_membrane_tab mp_tab
stop_program

echo "acceptance: $clicks clicks, every page showed; pictures in $out ($((SECONDS - began)) s)"
