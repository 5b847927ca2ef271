#!/usr/bin/env bash
# Keys end to end: walkdemo's sprite follows the cursor keys and the numeric
# pad (xdotool key presses reach DirectInput of the focused wine window),
# stops at the window's edges, and Esc ends it; textloop ends on Esc and
# textonce after one key press and release, all with exit code 0.
# The two full-screen samples run inside a wine virtual desktop (bare Xvfb
# cannot change the display mode).
set -u
bin=$1
work=$2
source "$(dirname "$0")/e2e_lib.sh"
rm -rf "$work" && mkdir -p "$work"

# The centre of the sprite's shirt in the client area, in shirt_x and
# shirt_y: the bounding box of the shirt's blue (walkdemo draws nothing else
# in that colour; the window's caption is cut away with the rest of the
# screen). Only differences between two readings are used, so the shirt's
# place in the sprite cancels out.
shirt_centre() {
  local shot=$work/shot.png geometry w h x y
  import -window root "$shot" 2>/dev/null || fail "no screenshot"
  geometry=$(convert "$shot" -crop "640x480+$client_x+$client_y" +repage -fuzz 12% -fill black \
    +opaque "rgb(40,120,220)" -trim -format '%w %h %X %Y' info: 2>/dev/null)
  read -r w h x y <<<"${geometry//+/}"
  [ "${w:-0}" -gt 1 ] && [ "${w:-0}" -lt 100 ] || fail "shirt not found in the client area ($geometry)"
  shirt_x=$((x + w / 2))
  shirt_y=$((y + h / 2))
}

# hold KEY... SECONDS: presses the keys in order, waits, releases them in
# the reverse order.
hold() {
  local seconds=${*: -1} keys=("${@:1:$#-1}") i
  xdotool keydown "${keys[@]}"
  sleep "$seconds"
  for ((i = ${#keys[@]} - 1; i >= 0; i--)); do xdotool keyup "${keys[i]}"; done
  sleep 0.3
}

# expect_position X Y LABEL: the sprite centre, from the start (320, 240).
expect_position() {
  shirt_centre
  local got="$((shirt_x - start_x + 320)) $((shirt_y - start_y + 240))"
  [ "$got" = "$1 $2" ] || fail "$3: sprite centre at ($got), expected ($1 $2)"
}

# ---- walkdemo: window mode -------------------------------------------------
mkdir -p "$work/walk" && cp "$bin/Player.png" "$work/walk/"
start walk walkdemo.exe "$work/walk"
id=$(wait_window Vexlo) || fail "walkdemo shows no window"
wait_log "$work/walk" "DirectInput 関連の初期化は正常に終了しました"
xdotool windowfocus --sync "$id" 2>/dev/null
sleep 1
read -r client_x client_y <<<"$("$WINELOADER" "$bin/client_origin.exe" 2>/dev/null | tr -d '\r')"
[ -n "${client_y:-}" ] || fail "no client area of walkdemo"
shirt_centre
start_x=$shirt_x start_y=$shirt_y

hold Right 3            # 59 steps of 5 reach the edge; the rest must not move it
expect_position 615 240 "Right held"
# Both directions: no movement. Right goes down first and up last, so that
# a frame that sees only one of them sees Right, which the edge stops.
hold Right Left 1
expect_position 615 240 "Left and Right held"
hold KP_4 0.5           # numeric pad 4 moves left
shirt_centre
[ "$((shirt_x - start_x + 320))" -lt 615 ] || fail "numeric pad 4 did not move the sprite left"
before_x=$shirt_x before_y=$shirt_y
hold KP_8 0.5           # numeric pad 8 moves up
shirt_centre
[ "$shirt_y" -lt "$before_y" ] && [ "$shirt_x" -eq "$before_x" ] || fail "numeric pad 8 did not move the sprite up"
hold Up 3
shirt_centre
[ "$((shirt_y - start_y + 240))" -eq 25 ] || fail "Up held: sprite centre y $((shirt_y - start_y + 240)), expected 25"

hold Escape 0.2
wait_exit "$pid_walk" 15
[ "$exit_code" -eq 0 ] || fail "walkdemo exited with $exit_code after Esc"

# ---- textloop and textonce: full screen in a virtual desktop --------------------
use_virtual_desktop textloop.exe textonce.exe

# focus_program DIR: once the program's display is up (its mode change takes
# the focus while it runs), gives its window the keyboard focus.
focus_program() {
  local id
  wait_log "$1" "DirectDraw 関連の初期化は正常に終了しました" 30
  sleep 1
  id=$(wait_window Vexlo) || fail "no window of the program in $1"
  xdotool windowfocus --sync "$id" 2>/dev/null
  sleep 0.3
}

start loop textloop.exe "$work/loop"
focus_program "$work/loop"
hold Escape 0.2
wait_exit "$pid_loop" 15
[ "$exit_code" -eq 0 ] || fail "textloop exited with $exit_code after Esc"

start once textonce.exe "$work/once"
focus_program "$work/once"
hold space 0.2
wait_exit "$pid_once" 15
[ "$exit_code" -eq 0 ] || fail "textonce exited with $exit_code after a key press and release"

pass
