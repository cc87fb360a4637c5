#!/usr/bin/env bash
# Fault: a second copy is started beside the first and closed again. Its hotkeys could not be
# registered, so ending it must leave the first copy's hotkeys alone: F3 still acts on the first.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init faults-second-copy "$@"

banner_start first
first="$BANNER_HWND"
banner_start second
second="$BANNER_HWND"
check "two banner windows" "$(probe find LEDBanner.Window | kv count)" "2"

probe key esc >/dev/null # the second copy has the keyboard
code="$(we_wait_exit second 15)" || code="still running"
check "the second copy ends with exit code" "$code" "0"
check_true "the first copy still runs" we_running first
check "one banner window left, the first" "$(probe find LEDBanner.Window | kv hwnd)" "$first"

focus_window_start
xdotool key F3
out="$(probe wait-info "$first" topmost 1 5000)" || true
check "F3 after the second copy ended: the first is topmost" "$(kv topmost <<<"$out")" "1"
check "and compact" "$(kv h <<<"$out")" "79"
out="$(probe children "$first" | grep -P '\tclass=Button\t' || true)"
check "its check box reads 取消置顶" "$(kv text <<<"$out")" "取消置顶"
focus_window_focus
xdotool key F3
out="$(probe wait-info "$first" topmost 0 5000)" || true
check "F3 again: no longer topmost" "$(kv topmost <<<"$out")" "0"
check "and full height" "$(kv h <<<"$out")" "129"
check_true "the first copy still runs" we_running first

e2e_finish
