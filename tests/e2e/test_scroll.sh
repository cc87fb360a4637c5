#!/usr/bin/env bash
# Typing sets the scrolling text; its width follows the byte count and the screen's dpi; the
# text moves left.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init scroll "$@"

banner_start banner
H="$BANNER_HWND"
require "input box has the focus" "$(probe focus "$H" | kv focus_id)" "1004"

input_replace "$H" abc
out="$(probe wait-child "$H" 1009 text abc 5000)" || true
check "scroller text after typing abc" "$(kv text <<<"$out")" "abc"
check "input box text" "$(probe children "$H" | grep -P '\tid=1004\t' | kv text)" "abc"
check "scroller width for abc at 96 dpi" "$(kv local <<<"$out" | cut -d, -f3)" "96"

# The scroller moves left and wraps: sample its position for a while.
samples="$(probe track "$H" 1009 30 20)"
printf '%s\n' "$samples" >"$E2E_DIR/track.txt"
read -r left wraps speed < <(tr '\t' ' ' <<<"$samples" |
  sed -E 's/x=([-0-9]+) y=[-0-9]+ t_ms=([0-9]+)/\1 \2/' |
  awk 'NR > 1 { d = $1 - px; if (d < 0) { left++; dist -= d; dt += $2 - pt } else if (d > 0) wraps++ }
       { px = $1; pt = $2 }
       END { printf "%d %d %d\n", left, wraps, (dt > 0) ? dist * 1000 / dt : 0 }')
we_log "scroller samples: $left steps left, $wraps wraps, about $speed px/s"
check_true "the scroller moves left ($left of 29 steps, $speed px/s)" test "$left" -ge 20
check_true "it moves right only when it wraps ($wraps)" test "$wraps" -le 2
check_true "it moves at a visible speed (>= 100 px/s)" test "$speed" -ge 100

# Two screenshots a moment apart: the red text is further left in the second, unless it wrapped
# in between (then a third pair decides).
moved_left=0
for i in 1 2 3 4; do
  screenshot "scroll-$i-a"
  screenshot "scroll-$i-b"
  read -r la ra < <(red_span "$E2E_DIR/scroll-$i-a.png" 740 475 439 80)
  read -r lb rb < <(red_span "$E2E_DIR/scroll-$i-b.png" 740 475 439 80)
  we_log "pair $i: red text from x=$la..$ra, then x=$lb..$rb"
  if ((la >= 0 && lb >= 0)) && { ((la > 0 && lb < la)) || ((ra < 438 && rb < ra)); }; then
    moved_left=$((moved_left + 1))
  fi
done
check_true "red text further left in the later of two screenshots ($moved_left of 4 pairs)" \
  test "$moved_left" -ge 2

probe key esc >/dev/null
we_wait_exit banner 15 >/dev/null || e2e_fail "the banner did not end on Esc"

# At 120 dpi the same text is narrower on the scroller's scale.
we_set_logpixels 120
banner_start banner120
H="$BANNER_HWND"
probe_wait_focus "$H" 1004 10 || true
input_replace "$H" abc
out="$(probe wait-child "$H" 1009 text abc 5000)" || true
check "scroller text after typing abc (120 dpi)" "$(kv text <<<"$out")" "abc"
check "scroller width for abc at LogPixels 120" "$(kv local <<<"$out" | cut -d, -f3)" "76"

e2e_finish
