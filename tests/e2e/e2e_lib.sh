# Helpers for the end-to-end scripts: run library programs under wine, wait
# on their logs and windows, and finish with "e2e: PASS" or "e2e: FAIL".
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh" 2>/dev/null

e2e_pids=()

e2e_cleanup() {
  for pid in "${e2e_pids[@]}"; do kill "$pid" 2>/dev/null; done
}
trap e2e_cleanup EXIT

fail() {
  echo "e2e: FAIL: $*"
  exit 1
}

pass() {
  echo "e2e: PASS"
  exit 0
}

# start NAME EXE DIR [ARGS...]: runs EXE (from the bin directory) with DIR as
# its working directory; its pid is in the variable pid_NAME.
start() {
  local name=$1 exe=$2 dir=$3
  shift 3
  mkdir -p "$dir"
  rm -f "$dir/AppLog.txt"
  (cd "$dir" && exec "$WINELOADER" "$bin/$exe" "$@" >/dev/null 2>&1) &
  local pid=$!
  e2e_pids+=("$pid")
  printf -v "pid_$name" '%s' "$pid"
}

# The log of DIR in UTF-8, CR LF as LF.
log_of() {
  iconv -f CP932 -t UTF-8 "$1/AppLog.txt" 2>/dev/null | tr -d '\r'
}

# wait_log DIR TEXT [SECONDS]: waits until a line of the log contains TEXT.
wait_log() {
  local dir=$1 text=$2 limit=${3:-20} i
  for ((i = 0; i < limit * 10; i++)); do
    log_of "$dir" | grep -qF -- "$text" && return 0
    sleep 0.1
  done
  fail "no '$text' in $dir/AppLog.txt after ${limit}s: $(log_of "$dir" | tail -5)"
}

# wait_exit PID SECONDS: waits for the process; its exit code in $exit_code.
wait_exit() {
  local pid=$1 limit=$2 i
  for ((i = 0; i < limit * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      exit_code=$?
      return 0
    fi
    sleep 0.1
  done
  fail "process $pid still running after ${limit}s"
}

# wait_window TITLE: the X window id of the first window named exactly TITLE.
wait_window() {
  local title=$1 i id
  for ((i = 0; i < 100; i++)); do
    id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# use_virtual_desktop EXE...: these programs run inside the wine virtual
# desktop "vexlo" (1024x768), where full-screen display modes can be set.
# Such a program's launcher may return at once: synchronise on its log.
use_virtual_desktop() {
  "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v vexlo /d 1024x768 /f >/dev/null 2>&1
  local exe
  for exe in "$@"; do
    "$WINELOADER" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\Explorer" /v Desktop /d vexlo /f >/dev/null 2>&1
  done
}

# line_number DIR TEXT [AFTER]: number of the first log line after line AFTER
# that contains TEXT; empty when there is none.
line_number() {
  log_of "$1" | awk -v after="${3:-0}" -v text="$2" 'NR > after && index($0, text) { print NR; exit }'
}

# wait_log_after DIR TEXT LINE [SECONDS]: waits until a line after line
# number LINE contains TEXT; non-zero when none came in time.
wait_log_after() {
  local dir=$1 text=$2 after=$3 limit=${4:-10} i
  for ((i = 0; i < limit * 10; i++)); do
    [ -n "$(line_number "$dir" "$text" "$after")" ] && return 0
    sleep 0.1
  done
  return 1
}

# expect_in_order DIR TEXT...: each text appears in a line after the one
# before; the number of the last line is left in $last_line.
expect_in_order() {
  local dir=$1 n text
  shift
  last_line=0
  for text in "$@"; do
    n=$(line_number "$dir" "$text" "$last_line")
    [ -n "$n" ] || fail "no '$text' after line $last_line of $dir/AppLog.txt"
    last_line=$n
  done
}

# desktop_screen_origin NAME: "x y" of the 640x480 screen of the wine virtual
# desktop NAME on the X display (the desktop window takes the size of the
# display mode a full-screen program set).
desktop_screen_origin() {
  local desk geometry X Y WIDTH HEIGHT SCREEN WINDOW
  desk=$(xdotool search --onlyvisible --name "^$1 - Wine desktop\$" 2>/dev/null | head -n1)
  [ -n "$desk" ] || { echo "no wine virtual desktop $1" >&2; return 1; }
  geometry=$(xdotool getwindowgeometry --shell "$desk") || return 1
  eval "$geometry"
  [ "$WIDTH" = 640 ] && [ "$HEIGHT" = 480 ] || { echo "the desktop is ${WIDTH}x$HEIGHT" >&2; return 1; }
  echo "$X $Y"
}
