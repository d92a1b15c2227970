#!/usr/bin/env bash
# The emulator's live window, for real, on a virtual X server (Xvfb), on the
# demo card: the window shows the program's screens pixel for pixel at its
# scale (against headless shots, which are the reviewed pictures), clicks and
# keys reach the program, an expose redraws it, F12 saves the screen, and the
# window's close button ends the program and the emulator (status 0) and
# removes the device's folder.
#
# usage: window_test.sh KESTREL-EMU XWD-COMPARE CARD GOLDENS [CLOSE-WINDOW]
# Skips (status 77) without Xvfb, xdotool, xwd or the close helper
# (libx11-dev); under CI=true each of those fails instead.
set -euo pipefail

emu=$1
compare=$2
card=$3
goldens=$4
close=${5:-}
scale=2

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
skip() {
  if [ "${CI:-}" = "true" ]; then fail "$*"; fi
  echo "SKIPPED: $*" >&2
  exit 77
}
for tool in Xvfb xdotool xwd; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (tools/setup installs it)"
done
if [ -z "$close" ] || [ ! -x "$close" ]; then skip "close_window is not built (libx11-dev is missing)"; fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-window.XXXXXX")
xvfb_pid=
emu_pid=
cleanup() {
  local status=$?
  if [ -n "$emu_pid" ]; then kill "$emu_pid" 2>/dev/null || true; wait "$emu_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  if [ "$status" -eq 0 ]; then rm -rf "$work"; else echo "captures and logs: $work" >&2; fi
}
trap cleanup EXIT

# Alive and not yet a zombie: the emulator is our child until it is waited for.
alive() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ $state != Z* ]]
}
descendants() {
  local p
  for p in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    echo "$p"
    descendants "$p"
  done
}

# A free display of our own, ready once Xvfb writes its number.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 800x600x24 -cc 4 -nolisten tcp 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display=
read -r -t 20 display <"$work/displayfd" || true
[ -n "$display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$display
unset WAYLAND_DISPLAY
export SDL_VIDEODRIVER=x11

mkdir -p "$work/tmp"

# The row of "Deep folder" and the Open button, in screen pixels.
row_x=60 row_y=131 open_x=80 open_y=214
cat >"$work/reference.txt" <<EOF
shot first
tap $row_x $row_y
tap $open_x $open_y
shot folder
key down
shot folder-down
EOF
TMPDIR=$work/tmp "$emu" --card "$card" --out "$work/reference" --scenario "$work/reference.txt" --timeout 30 \
  >"$work/reference.log" 2>&1 || fail "the headless run failed: $(cat "$work/reference.log")"
# The headless pictures are the reviewed ones of the demo scenario.
cmp -s "$work/reference/first.png" "$goldens/demo_root.png" || fail "the headless root is not $goldens/demo_root.png"
cmp -s "$work/reference/folder.png" "$goldens/demo_deep_folder.png" ||
  fail "the headless folder is not $goldens/demo_deep_folder.png"

TMPDIR=$work/tmp "$emu" --card "$card" --out "$work/window" --window --scale "$scale" >"$work/window.log" 2>&1 &
emu_pid=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --pid "$emu_pid" 2>/dev/null | head -n 1) || true
[ -n "$wid" ] || fail "no window appeared: $(cat "$work/window.log")"
grep -q '^  Escape ' "$work/window.log" || fail "no key map printed: $(cat "$work/window.log")"

# Captures the window until it equals the reference shot NAME at the scale.
expect_screen() {
  local name=$1 deadline=$((SECONDS + 20)) status
  while true; do
    status=0
    if xwd -silent -id "$wid" >"$work/$name.xwd" 2>"$work/$name.txt"; then
      "$compare" "$work/$name.xwd" "$work/reference/$name.png" "$scale" "$work/$name-diff.png" \
        >"$work/$name.txt" 2>&1 || status=$?
      [ "$status" -eq 0 ] && return 0
      [ "$status" -eq 1 ] || fail "$(cat "$work/$name.txt")"
    fi
    alive "$emu_pid" || fail "the emulator ended while showing $name: $(cat "$work/window.log")"
    [ "$SECONDS" -lt "$deadline" ] || fail "the window never showed $name: $(cat "$work/$name.txt")"
    sleep 0.1
  done
}
# A click at the middle of a screen pixel's block.
click() {
  xdotool mousemove --window "$wid" $(($1 * scale + scale / 2)) $(($2 * scale + scale / 2)) click 1
}

expect_screen first
program=
tree=$(descendants "$emu_pid")
for p in $tree; do
  case $(ps -o comm= -p "$p" 2>/dev/null) in kestrel-emulat*) program=$p ;; esac
done
[ -n "$program" ] || fail "the program is not among the emulator's processes"

click "$row_x" "$row_y"
click "$open_x" "$open_y"
expect_screen folder

xdotool windowfocus --sync "$wid"
xdotool key Down
expect_screen folder-down

xdotool key F12
deadline=$((SECONDS + 10))
until [ -f "$work/window/window-1.png" ] && grep -q 'window-1.png' "$work/window.log"; do
  [ "$SECONDS" -lt "$deadline" ] || fail "F12 saved no screenshot: $(cat "$work/window.log")"
  sleep 0.1
done
cmp -s "$work/window/window-1.png" "$work/reference/folder-down.png" || fail "the F12 screenshot is not the screen"

# Unmapped, the window's pixels are lost; mapped again, it must redraw them.
xdotool windowunmap --sync "$wid"
xdotool windowmap --sync "$wid"
expect_screen folder-down

"$close" "$wid" || fail "cannot press the close button"
deadline=$((SECONDS + 15))
while alive "$emu_pid"; do
  [ "$SECONDS" -lt "$deadline" ] || fail "the emulator still runs after the close button: $(cat "$work/window.log")"
  sleep 0.1
done
status=0
wait "$emu_pid" || status=$?
emu_pid=
[ "$status" -eq 0 ] || fail "the emulator ended with status $status: $(cat "$work/window.log")"
for p in $tree; do
  if alive "$p"; then fail "process $p ($(ps -o args= -p "$p" | cut -c1-80)) outlived the emulator"; fi
done
[ -z "$(ls -A "$work/tmp")" ] || fail "the device's folder is left behind: $(ls -A "$work/tmp")"
echo "the window showed every screen exactly and closed cleanly"
