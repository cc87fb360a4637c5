#!/usr/bin/env bash
# Global hotkeys, pressed on the X keyboard while another program (the probe's focus window)
# has the X focus, with the stand-in desktop shell: F1 locks the banner to the desktop, F2
# unlocks it, F3 toggles always-on-top; a second copy's keys act on the first.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init hotkeys "$@"

shell_start --layout normal
banner_start banner
H="$BANNER_HWND"
focus_window_start

# press KEY : gives the focus window the X focus again, then presses KEY on the X keyboard.
press() {
  focus_window_focus
  xdotool key "$1"
}

# --- F1: lock
press F1
out="$(probe wait-parent "$H" Progman 5000)" || true
check "F1: GA_PARENT is Progman" "$(kv parent <<<"$out")" "$PROGMAN_HWND"
out="$(probe wait-info "$H" h 79 3000)" || true
check "F1: height" "$(kv h <<<"$out")" "79"
check "F1: width" "$(kv w <<<"$out")" "439"
check_true "F1: the shell got message 0x052C" grep -q '^msg052c' "$SHELL_LOG"
we_wait_for 5 "a WM_CLOSE in the shell's log" grep -q '^WM_CLOSE' "$SHELL_LOG" || true
shell_sync
check "F1: WM_CLOSE count" "$(shell_closes)" "1"
check "F1: WM_CLOSE went to the empty WorkerW" \
  "$(grep '^WM_CLOSE' "$SHELL_LOG" | head -n 1 | sed -E 's/.*class=([^ ]+) .*role=([^ ]+).*/\1 \2/')" \
  "WorkerW empty"
check "F1: the shell's windows seen from another process" "$(shell_order)" "host,progman"
check_true "the shell placed its windows without error" shell_ok
check_true "the banner still runs" we_running banner

# --- F1 again: nothing more is closed (checked again at the end, after everything else).
press F1
out="$(probe wait-parent "$H" Progman 5000)" || true
check "F1 again: still under Progman" "$(kv parent_class <<<"$out")" "Progman"

# --- F2: unlock
press F2
out="$(probe wait-parent "$H" desktop 5000)" || true
check "F2: top-level again (GA_PARENT is the desktop)" "$(kv parent_class <<<"$out")" "#32769"
out="$(probe wait-info "$H" h 129 3000)" || true
check "F2: rect" "$(kv rect <<<"$out")" "740,475,439,129"
check "F2: visible" "$(kv visible <<<"$out")" "1"
probe_wait_focus "$H" 1004 5 || true
check "F2: the input box has the focus" "$(probe focus "$H" | kv focus_id)" "1004"
screenshot after-f2

# --- F3 twice
press F3
out="$(probe wait-info "$H" topmost 1 3000)" || true
check "F3: topmost" "$(kv topmost <<<"$out")" "1"
out="$(probe wait-info "$H" h 79 3000)" || true
check "F3: compact height" "$(kv h <<<"$out")" "79"
check "F3: check box caption" "$(probe wait-child "$H" 1001 text 取消置顶 3000 | kv text)" "取消置顶"
press F3
out="$(probe wait-info "$H" topmost 0 3000)" || true
check "F3 again: not topmost" "$(kv topmost <<<"$out")" "0"
out="$(probe wait-info "$H" h 129 3000)" || true
check "F3 again: height" "$(kv h <<<"$out")" "129"
check "F3 again: check box caption" "$(probe wait-child "$H" 1001 text 置顶 3000 | kv text)" "置顶"

# --- A second copy: its hotkeys are not its own, the keys act on the first.
banner_start second
S="$BANNER_HWND"
check_true "the second copy runs" we_running second
press F3
out="$(probe wait-info "$H" topmost 1 3000)" || true
check "F3 with a second copy running: the first is topmost" "$(kv topmost <<<"$out")" "1"
check "... and compact" "$(kv h <<<"$out")" "79"
info2="$(probe info "$S")"
check "... the second is not topmost" "$(kv topmost <<<"$info2")" "0"
check "... the second keeps its height" "$(kv h <<<"$info2")" "129"
press F3
out="$(probe wait-info "$H" topmost 0 3000)" || true
check "F3 again: the first is not topmost" "$(kv topmost <<<"$out")" "0"
press F1
out="$(probe wait-parent "$H" Progman 5000)" || true
check "F1 with a second copy running: the first is under Progman" "$(kv parent_class <<<"$out")" \
  "Progman"
check "... the second stays top-level" "$(probe info "$S" | kv parent_class)" "#32769"
press F2
out="$(probe wait-parent "$H" desktop 5000)" || true
check "F2: the first is top-level again" "$(kv parent_class <<<"$out")" "#32769"
check_true "both copies still run" we_running banner
check_true "... and the second" we_running second

# Every F1 after the first found the empty WorkerW gone: still one WM_CLOSE in all.
shell_sync
check "WM_CLOSE count at the end" "$(shell_closes)" "1"
check_true "0x052C sent again by the F1 after an unlock ($(grep -c '^msg052c' "$SHELL_LOG") in all)" \
  test "$(grep -c '^msg052c' "$SHELL_LOG")" -ge 2

e2e_finish
