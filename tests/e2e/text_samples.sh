#!/usr/bin/env bash
# The text samples in full screen inside a wine virtual desktop: textonce
# draws "これでも動くのです" at (200, 240) on the front screen and waits for a
# key; textloop draws "C++プログラミング　開始" at (160, 240) every frame until
# Escape. Each screen is photographed: the bright pixels must form one line
# of text starting near the given position, and nothing else may be lit.
# Both programs must end with exit code 0. The 640x480 crops are left in
# the work directory (text_<program>.png).
set -u
bin=$1
work=$2
source "$(dirname "$0")/e2e_lib.sh"
rm -rf "$work" && mkdir -p "$work"
use_virtual_desktop textonce.exe textloop.exe

# desktop_crop FILE: the virtual desktop's 640x480 screen cropped into FILE.
desktop_crop() {
  local origin x y
  origin=$(desktop_screen_origin vexlo) || fail "no 640x480 wine virtual desktop"
  read -r x y <<<"$origin"
  import -window root "$work/root.png" 2>/dev/null || fail "no screenshot"
  convert "$work/root.png" -crop "640x480+$x+$y" +repage "$1" || fail "crop failed"
}

# expect_text_band FILE X Y MINWIDTH: every bright pixel of FILE lies in one
# band of text that starts within 8 pixels right of (X, Y) and is at least
# MINWIDTH wide and at most 24 high.
expect_text_band() {
  local file=$1 want_x=$2 want_y=$3 min_width=$4 box w h x y
  box=$(convert "$file" -colorspace Gray -threshold 50% -format '%@' info:) || fail "no trim box of $file"
  [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no bright pixels in $file ($box)"
  w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
  [ "$x" -ge "$want_x" ] && [ "$x" -le $((want_x + 8)) ] || fail "$file: text starts at x $x, not near $want_x"
  [ "$y" -ge "$want_y" ] && [ $((y + h)) -le $((want_y + 24)) ] || fail "$file: bright pixels outside the band at y $want_y ($box)"
  [ "$w" -ge "$min_width" ] && [ $((x + w)) -le 640 ] || fail "$file: text $w pixels wide ($box)"
  # Only white and black: the text is drawn white on the cleared screen.
  local colours
  colours=$(convert "$file" -fuzz 10% -fill black -opaque black -fill white -opaque white -unique-colors -format '%k' info:)
  [ "$colours" -le 2 ] || fail "$file: $colours colours, expected white text on black"
}

# run_sample NAME X MINWIDTH KEYS...: starts the sample, checks its screen,
# presses the keys and waits for exit code 0.
run_sample() {
  local name=$1 want_x=$2 min_width=$3 dir=$work/$1 id
  shift 3
  start "$name" "$name.exe" "$dir"
  wait_log "$dir" "DirectDraw 関連の初期化は正常に終了しました" 30
  sleep 1.5 # the first frames
  desktop_crop "$work/text_$name.png"
  expect_text_band "$work/text_$name.png" "$want_x" 240 "$min_width"
  id=$(wait_window Vexlo) || fail "$name shows no window"
  xdotool windowfocus --sync "$id" 2>/dev/null
  sleep 0.3
  local key
  for key in "$@"; do
    xdotool keydown "$key"
    sleep 0.3
    xdotool keyup "$key"
  done
  local pid_var=pid_$name
  wait_exit "${!pid_var}" 20
  [ "$exit_code" = 0 ] || fail "$name ended with exit code $exit_code"
  wait_log "$dir" "ＣＯＭを終了... 完了" 10
}

# Nine full-width characters; twelve characters, eight of them full width.
run_sample textonce 200 80 a
sleep 1
run_sample textloop 160 100 Escape

pass
