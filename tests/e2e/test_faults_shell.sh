#!/usr/bin/env bash
# Faults of the desktop shell: one that never answers 0x052C (the lock goes on after about a
# second, and the banner keeps scrolling meanwhile and after), then one that closes "Progman"
# while the banner is locked under it (the program ends by itself, exit code 0, no error box).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init faults-shell "$@"

# scroller_x : the scroller's (EDIT id 1009) left edge in the strip.
scroller_x() {
  probe children "$BANNER_HWND" | grep -P '\tid=1009\t' | kv local | cut -d, -f1
}

# moves_left SAMPLES : true when the "x=" samples of probe track go left at least twice.
moves_left() {
  sed -n 's/^x=\([-0-9]*\).*/\1/p' <<<"$1" |
    awk 'NR > 1 && $1 < p { n++ } { p = $1 } END { exit !(n >= 2) }'
}

# --- A shell that never answers.
shell_start --layout normal --never-answer
banner_start banner
H="$BANNER_HWND"
focus_window_start
wait_in_background parent wait-parent "$H" Progman 10000
xdotool key F1
# The banner's thread waits in SendMessageTimeout for the shell's answer; when it gives up
# (after a second) it locks all the same.
code="$(we_wait_exit parent 15)" || code="timed out"
check "F1 with a silent shell: the banner ends up under Progman" "$code" "0"
check_true "the shell got 0x052C" grep -q '^msg052c' "$SHELL_LOG"
t_asked="$(shell_time msg052c)"
t_locked="$(kv t_ms <"$E2E_DIR/parent.out")"
delay=$((t_locked - ${t_asked:-0}))
we_log "0x052C at ${t_asked} ms, under Progman at ${t_locked} ms: ${delay} ms"
check "the lock went on after about a second (${delay} ms)" \
  "$( ((delay >= 900 && delay <= 2500)) && echo yes || echo no)" "yes"
check_true "the shell never answered" test -z "$(shell_time answered)"
samples="$(probe track "$H" 1009 12 60)"
printf '%s\n' "$samples" >"$E2E_DIR/track-locked.txt"
check_true "the locked banner keeps scrolling" moves_left "$samples"
x1="$(scroller_x)"
we_wait_for 5 "the scroller to move on" test "$(scroller_x)" != "$x1" ||
  e2e_fail "the scroller stays at x=$x1"
check_true "the banner still runs" we_running banner
xdotool key F2
out="$(probe wait-parent "$H" desktop 5000)" || true
check "F2 unlocks it again" "$(kv parent_class <<<"$out")" "#32769"
shell_stop

# --- A shell that closes Progman while the banner is locked under it.
shell_start --layout normal --close-progman-after-ms 800
focus_window_focus
xdotool key F1
out="$(probe wait-parent "$H" Progman 5000)" || true
check "F1 locks the banner under the new Progman" "$(kv parent <<<"$out")" "$PROGMAN_HWND"
we_wait_for 10 "the shell to destroy Progman" grep -q '^progman-destroyed' "$SHELL_LOG" ||
  e2e_abort "the shell did not destroy Progman"
out="$(probe wait-gone "$H" 5000)" || true
check "the banner's window goes with Progman" "$(kv gone <<<"$out")" "1"
code="$(we_wait_exit banner 10)" || code="still running"
check "the program ends by itself with exit code" "$code" "0"
check "no error box is left" "$(probe find '#32770' | kv count)" "0"
check_true "nothing on the program's stderr" test ! -s "$E2E_DIR/banner.err"
check_true "the shell is still up" we_running shell

e2e_finish
