#!/usr/bin/env bash
# The main window end to end: a library program opens its window and runs its
# frame loop until another program or Alt+F4 closes the window; a second
# program is refused by the double-start check unless it allows double start.
set -u
bin=$1
work=$2
source "$(dirname "$0")/e2e_lib.sh"
rm -rf "$work" && mkdir -p "$work"

# First program; a second one is refused and ends with exit code 0.
start first window_probe.exe "$work/first"
wait_log "$work/first" "２重起動はされていませんでした"
wait_log "$work/first" "ウインドウクラスを登録します... 登録に成功しました"
wait_window Vexlo >/dev/null || fail "no visible window titled Vexlo"

start refused window_probe.exe "$work/refused"
wait_exit "$pid_refused" 15
[ "$exit_code" -eq 0 ] || fail "refused second program exited with $exit_code"
log_of "$work/refused" | grep -qF "ソフトの２重起動検査... ２重起動されています、ソフトを終了します" ||
  fail "refused program's log lacks the refusal: $(log_of "$work/refused")"

# With double start allowed the second one goes on.
start allowed window_probe.exe "$work/allowed" allow-double
wait_log "$work/allowed" "２重起動されていますが続行します"
wait_log "$work/allowed" "ウインドウモード起動用のウインドウを作成します"
sleep 1

# Another program closes both by WM_CLOSE; each ends its loop and returns 0.
"$WINELOADER" "$bin/close_window.exe" || fail "close_window found no Vexlo window"
wait_exit "$pid_first" 15
[ "$exit_code" -eq 0 ] || fail "first program exited with $exit_code"
wait_exit "$pid_allowed" 15
[ "$exit_code" -eq 0 ] || fail "allowed program exited with $exit_code"
for dir in first allowed; do
  for line in "ウインドウを閉じようとしています" "ウインドウが破棄されようとしています" \
      "ソフトを終了する準備が整いました" "ＣＯＭを終了... 完了"; do
    log_of "$work/$dir" | grep -qF "$line" || fail "$dir: no '$line' in its log"
  done
done

# Alt+F4 on the focused window closes it the same way.
start alt window_probe.exe "$work/alt"
wait_log "$work/alt" "ウインドウモード起動用のウインドウを作成します"
id=$(wait_window Vexlo) || fail "no visible window for the Alt+F4 check"
sleep 0.5
xdotool windowfocus --sync "$id" 2>/dev/null
xdotool key --clearmodifiers alt+F4
wait_exit "$pid_alt" 15
[ "$exit_code" -eq 0 ] || fail "Alt+F4 program exited with $exit_code"
log_of "$work/alt" | grep -qF "ウインドウが破棄されようとしています" || fail "Alt+F4: no destruction line"

pass
