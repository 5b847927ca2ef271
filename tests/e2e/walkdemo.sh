#!/usr/bin/env bash
# walkdemo as a player sees it: its sprite centred at (320, 240) of the
# 640x480 client area, Player.png's pixels exactly (on a 16-bit desktop to
# 5:6:5 precision) over a black screen, on the test display's 32-bit desktop
# and on a 16-bit desktop of its own (a second X server and a copy of the
# wine prefix). The client areas are kept as walkdemo-32.png and
# walkdemo-16.png in the work directory.
set -u
bin=$1
work=$2
source "$(dirname "$0")/e2e_lib.sh"
rm -rf "$work" && mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)

# check_walkdemo BITS TOLERANCE MASKS: runs walkdemo on the current display,
# checks the colour masks it logged,
# compares its client area and ends it with Esc.
check_walkdemo() {
  local bits=$1 tolerance=$2 dir=$work/walk$1 origin id
  mkdir -p "$dir" && cp "$bin/Player.png" "$dir/"
  start walk walkdemo.exe "$dir"
  id=$(wait_window Vexlo) || fail "walkdemo shows no window on the $bits-bit desktop"
  wait_log "$dir" "DirectDraw 関連の初期化は正常に終了しました"
  log_of "$dir" | grep -qF "A:00000000  B:$3" || fail "walkdemo's screen is not $bits-bit: $(log_of "$dir" | grep -F 'A:0')"
  sleep 1.5
  origin=$("$WINELOADER" "$bin/client_origin.exe" 2>/dev/null | tr -d '\r') || fail "no client area"
  import -window root "$dir/shot.png" 2>/dev/null || fail "no screenshot"
  /usr/bin/python3 "$here/compare_sprite.py" "$dir/shot.png" $origin "$bin/Player.png" "$tolerance" \
    "$work/walkdemo-$bits.png" || fail "walkdemo's client area on the $bits-bit desktop differs"
  xdotool windowfocus --sync "$id" 2>/dev/null
  sleep 0.5
  xdotool keydown Escape
  sleep 0.2
  xdotool keyup Escape
  wait_exit "$pid_walk" 15
  [ "$exit_code" -eq 0 ] || fail "walkdemo exited with $exit_code on the $bits-bit desktop"
}

check_walkdemo 32 0 "00ff0000  G:0000ff00  B:000000ff"

# ---- A 16-bit desktop -------------------------------------------------------
for n in $(seq 70 99); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
Xvfb ":$n" -screen 0 1024x768x16 -nolisten tcp >/dev/null 2>&1 &
e2e_pids+=($!)
for ((i = 0; i < 50; i++)); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
cp -a "$WINEPREFIX" "$work/prefix16" || fail "cannot copy the wine prefix"
export WINEPREFIX=$work/prefix16 DISPLAY=:$n
end_prefix16() {
  e2e_cleanup
  "$WINESERVER" -k 2>/dev/null
}
trap end_prefix16 EXIT
# wine's own processes start here, away from the test runner's pipes.
"$WINELOADER" cmd /c exit </dev/null >/dev/null 2>&1
check_walkdemo 16 8 "0000f800  G:000007e0  B:0000001f"
"$WINESERVER" -k 2>/dev/null
rm -rf "$work/prefix16"
pass
