#!/usr/bin/env bash
# Switching between a window and full screen at run time inside a wine
# virtual desktop: ChangeWindowMode both ways, then Alt+Enter with toggling
# allowed; the program presents frames in every mode. The window took the
# desktop's depth, and full screen keeps the recorded depth.
set -u
bin=$1
work=$2
source "$(dirname "$0")/e2e_lib.sh"
rm -rf "$work" && mkdir -p "$work"
use_virtual_desktop display_probe.exe

dir=$work/toggle
start toggle display_probe.exe "$dir" toggle
wait_log "$dir" "probe: waiting for Alt+Enter" 60
expect_in_order "$dir" "ウインドウモードにします" "probe: presented frames 30" \
  "ChangeWindowMode実行" "ウインドウモードフラグが倒されました" "ウインドウスタイルをフルスクリーンモード用に変更します" \
  "画面解像度を変更します... 成功しました" "バックバッファの数 : " \
  "probe: ChangeWindowMode(0) = 0" "probe: presented frames 90" \
  "ChangeWindowMode実行" "ウインドウモードフラグが立てられました" "ウインドウスタイルをウインドウモード用に変更します" \
  "A:00000000  B:00ff0000  G:0000ff00  B:000000ff" "probe: ChangeWindowMode(1) = 0" \
  "probe: presented frames 150"

# Alt+Enter on the focused window asks for full screen.
desktop=$(xdotool search --name "vexlo" 2>/dev/null | head -n1)
[ -n "$desktop" ] || fail "no virtual desktop window"
xdotool windowfocus --sync "$desktop" 2>/dev/null
sleep 0.3
xdotool key --clearmodifiers alt+Return
wait_log "$dir" "probe: toggled by the user" 20
toggled=$(line_number "$dir" "probe: toggled by the user")
expect_in_order "$dir" "probe: waiting for Alt+Enter" "ウインドウモードフラグが倒されました" \
  "画面解像度を変更します... 成功しました" "probe: toggled by the user"
wait_log_after "$dir" "probe: presented" "$toggled" || fail "no frames after Alt+Enter"

"$WINELOADER" "$bin/focus_helper.exe" close || fail "focus_helper found no library window to close"
wait_log "$dir" "ＣＯＭを終了... 完了" 20
pass
