#!/usr/bin/env bash
# A left-button drag on the help line (or the strip) moves the window; one in the input box
# does not.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init drag "$@"

banner_start banner
H="$BANNER_HWND"

# position : "x,y" of the window.
position() {
  probe info "$H" | kv rect | cut -d, -f1,2
}

# drag X Y DX DY : press at X,Y, move by DX,DY in steps, release. The pauses matter: a posted
# WM_NCLBUTTONDOWN starts Wine's move loop only when the mouse events come spaced out.
drag() {
  local x="$1" y="$2" dx="$3" dy="$4"
  xdotool mousemove "$x" "$y"
  xdotool mousedown 1 sleep 0.2 \
    mousemove $((x + dx / 4)) $((y + dy / 4)) sleep 0.1 \
    mousemove $((x + dx / 2)) $((y + dy / 2)) sleep 0.1 \
    mousemove $((x + dx)) $((y + dy)) sleep 0.1 mouseup 1
}

# wait_position X,Y SECONDS : until the window is at X,Y.
# shellcheck disable=SC2317  # called through we_wait_for
at_position() {
  [[ "$(position)" == "$1" ]]
}

start="$(position)"
require "start position" "$start" "740,475"

# 1. In the input box: the window stays. Checked for sure by step 2, which starts from where the
#    window is now and must end exactly one drag away from it.
drag $((740 + 150)) $((475 + 114)) 100 60
after_input="$(position)"
check "a drag in the input box leaves the window at" "$after_input" "740,475"

# 2. On the help line (at 98,82 278x16): the window follows the mouse.
IFS=, read -r x0 y0 <<<"$after_input"
drag $((x0 + 150)) $((y0 + 90)) 120 -70
want="$((x0 + 120)),$((y0 - 70))"
we_wait_for 5 "the window at $want" at_position "$want" || true
check "a drag on the help line moves the window to" "$(position)" "$want"
screenshot after_help_drag

# 3. On the strip (rows 0-79): the window follows the mouse too. Press on a row of the strip
#    that the moving scroller (an EDIT on the strip) does not cover.
IFS=, read -r x1 y1 <<<"$(position)"
IFS=, read -r _ sy _ sh <<<"$(probe children "$H" | grep -P '\tid=1009\t' | kv local)"
if ((sy > 2)); then
  row=1
elif ((sy + sh < 78)); then
  row=78
else
  row=$((sy + sh / 2))
  we_log "the scroller covers every row of the strip; pressing on row $row"
fi
we_log "scroller rows $sy..$((sy + sh - 1)); pressing the strip on row $row"
drag $((x1 + 200)) $((y1 + row)) -200 100
want="$((x1 - 200)),$((y1 + 100))"
we_wait_for 5 "the window at $want" at_position "$want" || true
check "a drag on the strip moves the window to" "$(position)" "$want"
check "size unchanged after the drags" "$(probe info "$H" | kv rect | cut -d, -f3,4)" "439,129"
check_true "the program still runs" we_running banner

e2e_finish
