#!/usr/bin/env bash
# Full screen inside a wine virtual desktop: the 640x480x16 flip chain and
# its start-up measurements, losing and regaining the focus (the display is
# released and rebuilt, a graph loaded from a file is restored from it and
# drawn as before, and presenting goes on), and screen-mode changes with
# their results.
set -u
bin=$1
work=$2
source "$(dirname "$0")/e2e_lib.sh"
rm -rf "$work" && mkdir -p "$work"
use_virtual_desktop display_probe.exe focus_helper.exe

# expect_sprite LABEL: the screen shows Player.png at (295, 215) on black.
expect_sprite() {
  local origin
  origin=$(desktop_screen_origin vexlo) || fail "$1: no 640x480 virtual desktop"
  import -window root "$work/root.png" 2>/dev/null || fail "no screenshot"
  /usr/bin/python3 "$(dirname "$0")/compare_sprite.py" "$work/root.png" $origin "$bin/Player.png" 8 \
    "$work/sprite-$1.png" || fail "$1: the loaded graph is not on the screen as loaded"
}

# ---- Start and focus loss ----
dir=$work/present
mkdir -p "$dir" && cp "$bin/Player.png" "$dir/"
start present display_probe.exe "$dir" present
wait_log "$dir" "probe: presented frames 60" 30
expect_in_order "$dir" "画面モードの変更処理を開始します 640 x 480  16 bit" "画面解像度を変更します... 成功しました" \
  "A:00000000  B:0000f800  G:000007e0  B:0000001f" "バックバッファの数 : " "PrimaryBuffer : " \
  "サーフェス間転送には " "１フレーム当たりの時間は " "DirectDraw 関連の初期化は正常に終了しました"

expect_sprite before-focus-loss
"$WINELOADER" "$bin/focus_helper.exe" || fail "focus_helper found no library window"
before=$(line_number "$dir" "probe: presented frames 60")
# Wait for the rebuilt screen surfaces to be complete.
wait_log_after "$dir" "DirectDraw メインサーフェスの作成は正常に終了しました" "$before" 20
# Released when the focus came back, then rebuilt in the window procedure's order.
expect_in_order "$dir" "probe: presented frames 60" "メインサーフェスを破棄をします" \
  "ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します" "ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました" \
  "DirectDraw オブジェクトの取得を行います" "画面解像度を変更します... 成功しました" \
  "DirectDraw メインサーフェスの作成を行います" "DirectDraw メインサーフェスの作成は正常に終了しました"
rebuilt=$last_line
[ "$rebuilt" -gt "$before" ] || fail "no rebuild after the focus loss"
# Presenting goes on: more frames are noted after the rebuild.
wait_log_after "$dir" "probe: presented" "$rebuilt" || fail "no frames presented after the rebuild"
# The graph was restored from its file: its pixels are back.
expect_in_order "$dir" "DirectDraw メインサーフェスの作成は正常に終了しました" "グラフィックを復帰します" \
  "ファイル:Player.png"
expect_sprite after-focus-loss

"$WINELOADER" "$bin/focus_helper.exe" close || fail "focus_helper found no library window to close"
wait_log "$dir" "ＣＯＭを終了... 完了" 20
expect_in_order "$dir" "DirectDraw 関連の終了処理をおこないます" "DirectDraw 関連の終了処理は正常に終了しました"
sleep 1

# ---- Screen-mode changes in full screen ----
dir=$work/modes
start modes display_probe.exe "$dir" modes
wait_log "$dir" "probe: SetScreenMode(640, 480, 16)" 60
wait_log "$dir" "ＣＯＭを終了... 完了" 20
for expected in "probe: SetScreenMode(640, 480, 24) = -1" "probe: SetScreenMode(800, 600, 16) = 0" \
    "probe: SetScreenMode(800, 600, 32) = 0" "probe: SetScreenMode(640, 480, 16) = 0"; do
  log_of "$dir" | grep -qF "$expected" || fail "no '$expected': $(log_of "$dir" | grep -F 'probe:')"
done
# The refused 24-bit wish went back to the 16-bit mode before it; each
# change read the new screen format.
expect_in_order "$dir" "画面モードの変更処理を開始します 640 x 480  16 bit" "A:00000000  B:0000f800" \
  "A:00000000  B:0000f800" "probe: SetScreenMode(640, 480, 24) = -1" \
  "A:00000000  B:0000f800" "probe: SetScreenMode(800, 600, 16) = 0" \
  "A:00000000  B:00ff0000  G:0000ff00  B:000000ff" "probe: SetScreenMode(800, 600, 32) = 0" \
  "A:00000000  B:0000f800" "probe: SetScreenMode(640, 480, 16) = 0"

pass
