#!/usr/bin/env bash
# A second copy runs beside the first; closing it leaves the first running.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init second-copy "$@"

banner_start first
first="$BANNER_HWND"
banner_start second
second="$BANNER_HWND"

check "two banner windows" "$(probe find LEDBanner.Window | kv count)" "2"
check_true "the first copy runs" we_running first
check_true "the second copy runs" we_running second
check "second window rect" "$(probe info "$second" | kv rect)" "740,475,439,129"
check "second window: input box has the focus" "$(probe focus "$second" | kv focus_id)" "1004"
check "the second window is in front" "$(probe info "$second" | kv foreground)" "$second"
check "the first window is still there" "$(probe info "$first" | kv rect)" "740,475,439,129"

# Close the second one with Esc (it has the focus).
probe key esc >/dev/null
code="$(we_wait_exit second 15)" || code="still running"
check "the second copy ends on Esc with exit code" "$code" "0"
check "one banner window left" "$(probe find LEDBanner.Window | kv count)" "1"
check "the one left is the first" "$(probe find LEDBanner.Window | kv hwnd)" "$first"
check_true "the first copy still runs" we_running first
check "the first window still shows" "$(probe info "$first" | kv visible)" "1"

# And the first still works: it takes input and ends on Esc.
we_x_click $((740 + 200)) $((475 + 114))
probe_wait_focus "$first" 1004 5 || e2e_fail "clicking the first copy's input box focuses it"
input_replace "$first" ok
check "the first copy takes input" "$(probe wait-child "$first" 1009 text ok 5000 | kv text)" "ok"
probe key esc >/dev/null
code="$(we_wait_exit first 15)" || code="still running"
check "the first copy ends on Esc with exit code" "$code" "0"

e2e_finish
