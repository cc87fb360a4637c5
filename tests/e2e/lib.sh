# shellcheck shell=bash
# Common part of the end-to-end tests: source it, then call e2e_init NAME "$@".
#
# Every test script takes the same optional arguments (defaults: the windows-x64 build):
#   test_X.sh [EXE PROBE SHELL OUTROOT]
# and writes its logs and screenshots to OUTROOT/NAME/ (build/windows-x64/e2e/NAME/).
# It prints "ok - ..." / "not ok - ..." lines and ends with "N passed, N failed".

E2E_LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source-path=SCRIPTDIR source=../../tools/wine-env.sh
source "$E2E_LIB_DIR/../../tools/wine-env.sh"

E2E_BIN_DEFAULT="$WE_REPO/build/windows-x64"
E2E_PASSED=0
E2E_FAILED=0
E2E_NAME=""
E2E_DIR=""
E2E_EXE=""
E2E_PROBE=""
E2E_SHELL=""
E2E_T0=$SECONDS
# Set by banner_start, shell_start and focus_window_start, read by the tests.
BANNER_HWND=""
SHELL_LOG=""
PROGMAN_HWND=""
SHELL_CONTROL=""
SHELL_SYNC=0
FOCUS_HWND=""
export BANNER_HWND PROGMAN_HWND FOCUS_HWND

e2e_init() {
  E2E_NAME="$1"
  shift
  E2E_EXE="${1:-$E2E_BIN_DEFAULT/ledbanner.exe}"
  E2E_PROBE="${2:-$E2E_BIN_DEFAULT/probe.exe}"
  E2E_SHELL="${3:-$E2E_BIN_DEFAULT/desktop_shell.exe}"
  local outroot="${4:-$E2E_BIN_DEFAULT/e2e}"
  E2E_DIR="$outroot/$E2E_NAME"
  rm -rf "$E2E_DIR"
  mkdir -p "$E2E_DIR"
  trap e2e_cleanup EXIT
  local f
  for f in "$E2E_EXE" "$E2E_PROBE" "$E2E_SHELL"; do
    [[ -f "$f" ]] || e2e_abort "missing $f (build the windows-x64 preset first)"
  done
  we_log "test $E2E_NAME: exe $E2E_EXE, logs in $E2E_DIR"
  we_xvfb_start "$E2E_DIR"
  we_prefix_new "$E2E_DIR/prefix"
  # Start this prefix's wineserver and its services once, before anything is timed.
  probe enum >/dev/null
}

e2e_cleanup() {
  local rc=$?
  we_cleanup
  if [[ -z "${E2E_KEEP_PREFIX:-}" && -n "$E2E_DIR" ]]; then
    rm -rf "$E2E_DIR/prefix"
  fi
  if ((rc != 0 && E2E_FAILED == 0)); then
    printf 'not ok - %s ended early (exit %s); logs in %s\n' "$E2E_NAME" "$rc" "$E2E_DIR"
  fi
  exit "$rc"
}

# Ends the test now, with a reason.
e2e_abort() {
  printf 'not ok - %s: %s\n' "$E2E_NAME" "$*"
  E2E_FAILED=$((E2E_FAILED + 1))
  printf '%d passed, %d failed\n' "$E2E_PASSED" "$E2E_FAILED"
  exit 1
}

e2e_pass() {
  E2E_PASSED=$((E2E_PASSED + 1))
  printf 'ok - %s\n' "$*"
}

e2e_fail() {
  E2E_FAILED=$((E2E_FAILED + 1))
  printf 'not ok - %s\n' "$*"
}

# check WHAT ACTUAL EXPECTED : records a pass or a failure (and what was seen).
check() {
  if [[ "$2" == "$3" ]]; then
    e2e_pass "$1 ($2)"
  else
    e2e_fail "$1: got '$2', expected '$3'"
  fi
}

# check_true WHAT CMD... : passes when CMD succeeds.
check_true() {
  local what="$1"
  shift
  if "$@"; then
    e2e_pass "$what"
  else
    e2e_fail "$what"
  fi
}

# require WHAT ACTUAL EXPECTED : like check, but ends the test on a failure.
require() {
  check "$@"
  [[ "$2" == "$3" ]] || e2e_abort "cannot go on after: $1"
}

e2e_finish() {
  we_log "test $E2E_NAME took $((SECONDS - E2E_T0)) s"
  printf '%d passed, %d failed\n' "$E2E_PASSED" "$E2E_FAILED"
  if ((E2E_FAILED > 0)); then
    printf 'logs and screenshots: %s\n' "$E2E_DIR"
    exit 1
  fi
  if ((E2E_PASSED == 0)); then
    printf 'no check ran\n'
    exit 1
  fi
  exit 0
}

# probe ARGS... : runs the probe; its output is also appended to probe.log.
probe() {
  local out rc=0
  out="$(wine "$E2E_PROBE" "$@" 2>>"$E2E_DIR/probe.err")" || rc=$?
  printf '[%s] $ probe %s (exit %s)\n%s\n' "$(date +%T.%3N)" "$*" "$rc" "$out" >>"$E2E_DIR/probe.log"
  printf '%s\n' "$out"
  return "$rc"
}

# kv KEY : the first value of KEY in key=value lines on stdin (fields may be tab-separated).
kv() {
  tr '\t' '\n' | sed -n "s/^$1=//p" | head -n 1
}

# A Windows path for a file of ours (Wine maps Z: to /).
winpath() {
  printf 'Z:%s' "${1//\//\\}"
}

# banner_start NAME [ARGS...] : starts the program; sets BANNER_HWND to its new window.
# Waits for a window of the class that was not there before (so a second copy is found too).
banner_start() {
  local name="$1"
  shift
  local before
  before="$(probe find LEDBanner.Window | sed -n 's/^hwnd=//p' | sort)"
  local want=$(($(grep -c . <<<"$before") + 1))
  [[ -z "$before" ]] && want=1
  we_run "$name" "$E2E_DIR" "$E2E_EXE" "$@"
  local out
  out="$(probe wait-count LEDBanner.Window "$want" 20000)" ||
    e2e_abort "no new LEDBanner.Window within 20 s ($(we_running "$name" && echo running ||
      echo "exited $(cat "$E2E_DIR/$name.rc")"))"
  BANNER_HWND="$(sed -n 's/^hwnd=//p' <<<"$out" | sort | comm -13 <(printf '%s\n' "$before") - |
    head -n 1)"
  [[ -n "$BANNER_HWND" ]] || e2e_abort "could not tell the new banner window apart"
  # Shown and laid out: the input box exists and has the keyboard focus.
  probe_wait_focus "$BANNER_HWND" 1004 10 ||
    we_log "the input box of $BANNER_HWND has no focus yet"
}

# probe_wait_focus HWND ID SECONDS : until the window's thread has its focus on control ID.
probe_wait_focus() {
  we_wait_for "$3" "focus on control $2 of $1" _focus_is "$1" "$2"
}

_focus_is() {
  [[ "$(probe focus "$1" | kv focus_id)" == "$2" ]]
}

# input_replace HWND TEXT : selects everything in the focused input box and types TEXT over it
# (the box starts with the banner's text in it).
input_replace() {
  probe key end >/dev/null
  probe key home shift >/dev/null
  probe type "$2" >/dev/null
}

# shell_start [ARGS...] : starts the stand-in desktop shell, logging to shell.log.
shell_start() {
  SHELL_LOG="$E2E_DIR/shell.log"
  rm -f "$SHELL_LOG"
  we_run shell "$E2E_DIR" "$E2E_SHELL" --log "$(winpath "$SHELL_LOG")" "$@"
  we_wait_for 20 "the desktop shell to be ready" grep -q '^ready' "$SHELL_LOG" ||
    e2e_abort "the desktop shell did not start (see $E2E_DIR/shell.err)"
  PROGMAN_HWND="$(sed -n 's/^window role=progman .* hwnd=//p' "$SHELL_LOG")"
  SHELL_CONTROL="$(sed -n 's/^window role=control .* hwnd=//p' "$SHELL_LOG")"
  SHELL_SYNC=0
}

# shell_sync : returns once the shell has handled every message posted to it before.
shell_sync() {
  SHELL_SYNC=$((SHELL_SYNC + 1))
  probe post "$SHELL_CONTROL" 0x8001 "$SHELL_SYNC" >/dev/null
  we_wait_for 10 "the desktop shell to handle sync $SHELL_SYNC" grep -qx "sync $SHELL_SYNC" \
    "$SHELL_LOG" || e2e_abort "the desktop shell does not answer"
}

# shell_stop : ends the desktop shell (WM_CLOSE to its control window).
shell_stop() {
  probe close "$SHELL_CONTROL" >/dev/null || true
  we_wait_exit shell 10 >/dev/null || we_kill shell
}

# shell_time EVENT : t_ms of the first log line that starts with EVENT.
shell_time() {
  grep -m 1 "^$1" "$SHELL_LOG" | sed -E -n 's/.*t_ms=([0-9]+).*/\1/p'
}

# shell_order : roles of the shell's top-level windows as another process sees them in
# EnumWindows order (the hidden control window left out), e.g. "host,empty,progman".
shell_order() {
  local roles
  roles="$(sed -E -n 's/^window role=([^ ]+) class=[^ ]+ hwnd=(0x[0-9a-f]+)$/\2 \1/p' "$SHELL_LOG")"
  probe enum | tr '\t' '\n' | sed -n 's/^hwnd=//p' |
    awk 'NR == FNR { role[$1] = $2; next } ($1 in role) && role[$1] != "control" { print role[$1] }' \
      <(printf '%s\n' "$roles") - | paste -sd,
}

# shell_ok : the shell logged no error (e.g. about the z-order of its windows).
shell_ok() {
  ! grep -q '^error=' "$SHELL_LOG"
}

shell_closes() {
  grep -c '^WM_CLOSE' "$SHELL_LOG" || true
}

# focus_window_start : starts the probe's focus window at the top left and gives it the X focus
# by clicking it (X11 Driver Managed=N); sets FOCUS_HWND.
focus_window_start() {
  we_run focus "$E2E_DIR" "$E2E_PROBE" focus-window 0 0
  we_wait_for 20 "the probe's focus window" grep -q '^hwnd=' "$E2E_DIR/focus.out" ||
    e2e_abort "the probe's focus window did not start"
  FOCUS_HWND="$(sed -n 's/^hwnd=//p' "$E2E_DIR/focus.out")"
  focus_window_focus
}

# Gives the focus window the X focus and makes it Wine's foreground window. With unmanaged
# windows (Managed=N) a click activates it in Wine, but when another Wine window took the X
# focus with SetForegroundWindow the click leaves the X focus there, so XSetInputFocus as well.
# And while the foreground window is a child window (the banner locked under Progman makes
# itself the foreground window) a click does not activate another window at all: then the
# focus window is made the foreground window with SetForegroundWindow from the probe.
focus_window_focus() {
  local xid
  we_wait_for 10 "the focus window's X window" xdotool search --name '^probe focus$' ||
    e2e_abort "no X window for the focus window"
  xid="$(xdotool search --name '^probe focus$' | head -n 1)"
  we_x_click 32 32
  xdotool windowfocus "$xid"
  if ! we_wait_for 1 "the focus window to be in front after a click" \
    _foreground_is "$FOCUS_HWND" 2>/dev/null; then
    probe activate "$FOCUS_HWND" >/dev/null || true
    xdotool windowfocus "$xid"
  fi
  we_wait_for 10 "the X focus on the focus window" _xfocus_is "$xid" ||
    e2e_abort "the focus window did not get the X focus"
  we_wait_for 10 "the focus window to be in front" _foreground_is "$FOCUS_HWND" || {
    we_log "focus window $FOCUS_HWND: $(probe focus "$FOCUS_HWND" | paste -sd' ')"
    we_log "X focus: $(xdotool getwindowfocus 2>&1); focus window said: $(paste -sd' ' \
      "$E2E_DIR/focus.out")"
    e2e_abort "the focus window is not the foreground window"
  }
}

_xfocus_is() {
  [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$1" ]]
}

_foreground_is() {
  [[ "$(probe focus "$1" | kv foreground)" == "$1" ]]
}

# wait_in_background NAME ARGS... : runs "probe ARGS" (a wait command) in the background, and
# returns once it is waiting. Its output ends up in E2E_DIR/NAME.out.
wait_in_background() {
  local name="$1"
  shift
  we_run "$name" "$E2E_DIR" "$E2E_PROBE" "$@"
  we_wait_for 10 "probe $* to start" grep -q '^waiting=1' "$E2E_DIR/$name.out" ||
    e2e_abort "probe $* did not start"
}

# screenshot NAME : full screen to E2E_DIR/NAME.png
screenshot() {
  we_screenshot "$E2E_DIR/$1.png"
}

# _histogram FILE X Y W H : "COUNT R G B" lines for the colours in the area.
_histogram() {
  "$WE_CONVERT" "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 -format %c histogram:info:- |
    sed -E -n 's/^ *([0-9]+): *\( *([0-9.]+), *([0-9.]+), *([0-9.]+).*/\1 \2 \3 \4/p'
}

# count_colour FILE X Y W H R G B [TOLERANCE] : pixels in the area within TOLERANCE per channel.
count_colour() {
  _histogram "$1" "$2" "$3" "$4" "$5" |
    awk -v r="$6" -v g="$7" -v b="$8" -v t="${9:-0}" '
      function abs(v) { return v < 0 ? -v : v }
      abs($2 - r) <= t && abs($3 - g) <= t && abs($4 - b) <= t { total += $1 }
      END { print total + 0 }'
}

# count_red FILE X Y W H : pixels of text drawn in red (red high, green and blue low).
count_red() {
  _histogram "$1" "$2" "$3" "$4" "$5" |
    awk '$2 >= 200 && $3 <= 80 && $4 <= 80 { total += $1 } END { print total + 0 }'
}

# count_blue FILE X Y W H : pixels of text drawn in blue.
count_blue() {
  _histogram "$1" "$2" "$3" "$4" "$5" |
    awk '$4 >= 160 && $2 <= 100 && $3 <= 100 { total += $1 } END { print total + 0 }'
}

# red_span FILE X Y W H : "LEFT RIGHT" x (in the area) of the red text (red channel >= 200),
# or "-1 -1" when there is none.
red_span() {
  local box
  box="$("$WE_CONVERT" "$1" -crop "${4}x${5}+${2}+${3}" +repage -channel R -separate +channel \
    -threshold 78% -format '%@' info: 2>/dev/null)"
  if [[ "$box" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[1] > 0)); then
    printf '%d %d\n' "${BASH_REMATCH[3]}" $((BASH_REMATCH[3] + BASH_REMATCH[1] - 1))
  else
    printf '%d %d\n' -1 -1
  fi
}
