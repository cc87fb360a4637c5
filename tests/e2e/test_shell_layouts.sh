#!/usr/bin/env bash
# F1 with other desktop layouts: WM_CLOSE goes only to a "WorkerW" that follows a WorkerW
# hosting SHELLDLL_DefView - never to Progman, never to a window of another class.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init shell-layouts "$@"

# lock_in LAYOUT : shell with LAYOUT, banner, F1; leaves the shell's log in shell-LAYOUT.log.
lock_in() {
  local layout="$1"
  shell_start --layout "$layout"
  banner_start banner
  local h="$BANNER_HWND"
  focus_window_start
  xdotool key F1
  check "$layout: F1 puts the banner under Progman" \
    "$(probe wait-parent "$h" Progman 5000 | kv parent)" "$PROGMAN_HWND"
  check "$layout: height" "$(probe wait-info "$h" h 79 3000 | kv h)" "79"
  check_true "$layout: the shell got 0x052C" grep -q '^msg052c' "$SHELL_LOG"
  check_true "$layout: the shell placed its windows without error" shell_ok
}

# closes_to : "ROLE ROLE..." of the windows that got WM_CLOSE, sorted.
closes_to() {
  grep '^WM_CLOSE' "$SHELL_LOG" | sed -E 's/.* role=([^ ]+).*/\1/' | sort | paste -sd' '
}

end_run() {
  cp "$SHELL_LOG" "$E2E_DIR/shell-$1.log"
  we_kill banner
  we_kill focus
  shell_stop
}

# follower-foreign: host WorkerW, then a window of another class, then an empty WorkerW.
lock_in follower-foreign
we_wait_for 3 "the lock to settle" grep -q '^answered' "$SHELL_LOG" || true
shell_sync
check "follower-foreign: windows closed (none: the foreign window follows the host)" \
  "$(closes_to)" ""
check "follower-foreign: the foreign window is still there" \
  "$(probe find ForeignAppWindow | kv count)" "1"
check "follower-foreign: z-order seen from another process" "$(shell_order)" \
  "host,foreign,empty,progman"
end_run follower-foreign

# follower-progman: the host WorkerW is followed by Progman itself.
lock_in follower-progman
shell_sync
check "follower-progman: windows closed (none: never Progman)" "$(closes_to)" ""
check "follower-progman: z-order seen from another process" "$(shell_order)" "host,progman"
end_run follower-progman

# two-hosts: each host WorkerW has an empty WorkerW after it; both are closed.
lock_in two-hosts
we_wait_for 5 "two WM_CLOSE in the shell's log" test "$(shell_closes)" -ge 2 || true
shell_sync
check "two-hosts: windows closed" "$(closes_to)" "empty1 empty2"
check "two-hosts: z-order seen from another process" "$(shell_order)" "host1,host2,progman"
end_run two-hosts

# icons-under-progman: no WorkerW at all; the banner still goes under Progman.
lock_in icons-under-progman
shell_sync
check "icons-under-progman: windows closed" "$(closes_to)" ""
check "icons-under-progman: z-order seen from another process" "$(shell_order)" "progman"
end_run icons-under-progman

e2e_finish
