#!/usr/bin/env bash
# F1 with a desktop shell that is slow to answer 0x052C, or never answers: the program waits
# 1000 ms for the answer, then locks the banner all the same.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init lock-timing "$@"

# lock_with_shell WHAT SHELL_ARGS... : one run of shell + banner + F1; checks the time the lock
# took after the shell got 0x052C, and that nothing was closed.
lock_with_shell() {
  local what="$1"
  shift
  shell_start "$@"
  banner_start banner
  local h="$BANNER_HWND"
  focus_window_start
  wait_in_background locked wait-parent "$h" Progman 8000
  xdotool key F1
  we_wait_exit locked 10 >/dev/null || true
  local out
  out="$(cat "$E2E_DIR/locked.out")"
  check "$what: GA_PARENT is Progman" "$(kv parent <<<"$out")" "$PROGMAN_HWND"
  local t_lock t_msg
  t_lock="$(kv t_ms <<<"$out")"
  t_msg="$(shell_time msg052c)"
  if [[ -n "$t_lock" && -n "$t_msg" ]]; then
    local dt=$((t_lock - t_msg))
    we_log "$what: locked $dt ms after the shell got 0x052C"
    check_true "$what: the lock waits for the 1000 ms time-out ($dt ms)" test "$dt" -ge 900
    check_true "$what: ... and no longer ($dt ms < 1450)" test "$dt" -lt 1450
  else
    e2e_fail "$what: no time for the lock ('$t_lock') or for 0x052C ('$t_msg')"
  fi
  check "$what: height" "$(probe wait-info "$h" h 79 3000 | kv h)" "79"
  check_true "$what: the banner still runs" we_running banner
  if [[ "$*" == *--answer-delay-ms* ]]; then
    check_true "$what: the shell answers later" \
      we_wait_for 5 "the shell's late answer" grep -q '^answered' "$SHELL_LOG"
  fi
  shell_sync
  check "$what: WM_CLOSE count" "$(shell_closes)" "0"
  we_kill banner
  we_kill focus
  shell_stop
}

lock_with_shell "answer after 1500 ms" --layout normal --answer-delay-ms 1500
cp "$E2E_DIR/shell.log" "$E2E_DIR/shell-delay.log"
lock_with_shell "no answer" --layout normal --never-answer
check_true "the shell never answered" grep -q '^not answering' "$E2E_DIR/shell.log"

e2e_finish
