#!/usr/bin/env bash
# Fault: the desktop shell destroys Progman while the banner is locked under it. Destroying a
# window destroys its children, also those of another process (Wine asks the child's own thread
# to destroy it), so the banner's window goes; the program must then end by itself, cleanly.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init progman-gone "$@"

shell_start --layout normal --close-progman-after-ms 500
banner_start banner
H="$BANNER_HWND"
focus_window_start
xdotool key F1
check "F1 puts the banner under Progman" "$(probe wait-parent "$H" Progman 5000 | kv parent)" \
  "$PROGMAN_HWND"
we_wait_for 10 "the shell to destroy Progman" grep -q '^progman-destroyed' "$SHELL_LOG" ||
  e2e_abort "the shell did not destroy Progman"
check "Progman is gone" "$(probe find Progman | kv count)" "0"
out="$(probe wait-gone "$H" 5000)" || true
check "the banner's window is destroyed with it" "$(kv gone <<<"$out")" "1"
t0=$(date +%s%N)
code="$(we_wait_exit banner 10)" || code="still running"
we_log "the program ended $((($(date +%s%N) - t0) / 1000000)) ms after its window was gone"
check "the program ends by itself, exit code" "$code" "0"
check_true "no crash report on stderr" test ! -s "$E2E_DIR/banner.err"
check_true "the shell is still up" we_running shell

e2e_finish
