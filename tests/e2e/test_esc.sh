#!/usr/bin/env bash
# Esc ends the program with exit code 0; Shift+Esc, Ctrl+Esc and Alt+Esc do not.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init esc "$@"

banner_start banner
H="$BANNER_HWND"
require "input box has the focus" "$(probe focus "$H" | kv focus_id)" "1004"

# Keys go (SendInput) to the focused window, the input box. A typed character afterwards is a
# marker: once the scroller shows it, every key pressed before it has been handled.
input_replace "$H" ""
n=0
for mod in shift ctrl alt; do
  n=$((n + 1))
  probe key esc "$mod" >/dev/null
  marker="$(printf 'x%.0s' $(seq "$n"))"
  probe type x >/dev/null
  out="$(probe wait-child "$H" 1009 text "$marker" 5000)" || true
  check "after $mod+Esc the input is still handled (scroller text)" "$(kv text <<<"$out")" "$marker"
  check_true "after $mod+Esc the program still runs" we_running banner
  check "after $mod+Esc the window is still there" "$(probe info "$H" | kv exists)" "1"
  # Alt+Esc could move the activation elsewhere: bring the input box back in front if so.
  if [[ "$(probe focus "$H" | kv focus_id)" != "1004" ]]; then
    we_log "focus left the input box after $mod+Esc; clicking it"
    we_x_click $((740 + 200)) $((475 + 114))
    probe_wait_focus "$H" 1004 5 || e2e_abort "cannot give the input box the focus again"
  fi
done

t0=$(date +%s%N)
probe key esc >/dev/null
code="$(we_wait_exit banner 15)" || code="still running"
t1=$(date +%s%N)
we_log "Esc to exit: $(((t1 - t0) / 1000000)) ms"
check "Esc ends the program with exit code" "$code" "0"
check "the window is gone" "$(probe info "$H" | kv exists)" "0"

# The same from the X keyboard, as a person presses it: click the input box, press Escape.
banner_start banner2
H="$BANNER_HWND"
we_x_click $((740 + 200)) $((475 + 114))
probe_wait_focus "$H" 1004 5 || e2e_abort "clicking the input box does not focus it"
xdotool key Escape
code="$(we_wait_exit banner2 15)" || code="still running"
check "Escape from the X keyboard ends the program with exit code" "$code" "0"

e2e_finish
