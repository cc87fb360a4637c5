#!/usr/bin/env bash
# Fault: a paste of a megabyte into the input box (from the clipboard, with Ctrl+V).
# The window must never stop answering for a second or more, the scroller's width stops at
# 32627, and the text goes on scrolling.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init faults-paste "$@"

child_field() { # child_field HWND ID KEY
  probe children "$1" | grep -P "\tid=$2\t" | kv "$3"
}

# One line of 1 MiB of text (no line break: a single-line box pastes up to the first one).
big="$E2E_DIR/big.txt"
python3 -c 'import sys; s = "LED banner megabyte paste 0123456789 "; sys.stdout.write((s * (1048576 // len(s) + 1))[:1048576])' >"$big"
check "the text file has 1 MiB" "$(stat -c %s "$big")" "1048576"

banner_start banner
H="$BANNER_HWND"

# Put it on the clipboard: a Tk program owns the X selection, which Wine reads on Ctrl+V.
# (Wine's Notepad needs minutes to lay out a megabyte on one line.)
PY_TK=""
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import tkinter' 2>/dev/null; then
    PY_TK="$candidate"
    break
  fi
done
[[ -n "$PY_TK" ]] || e2e_abort "no python3 with tkinter (Debian package python3-tk)"
"$PY_TK" - "$big" >"$E2E_DIR/clipboard.out" 2>"$E2E_DIR/clipboard.err" <<'PY' &
import sys
import tkinter

root = tkinter.Tk()
root.withdraw()
with open(sys.argv[1], encoding="ascii") as f:
    text = f.read()
root.clipboard_clear()
root.clipboard_append(text)
root.update()
print("ready", flush=True)
root.mainloop()
PY
# Registered like the programs started with we_run, so that the cleanup ends it too.
WE_PIDS[clipboard]=$!
we_wait_for 20 "the clipboard owner" grep -q '^ready' "$E2E_DIR/clipboard.out" ||
  e2e_abort "could not put the text on the clipboard (see clipboard.err)"

# Paste into the banner's input box.
we_x_click $((740 + 200)) $((475 + 114))
probe_wait_focus "$H" 1004 10 || e2e_abort "the input box did not get the focus"
probe key end >/dev/null
probe key home shift >/dev/null
probe key v ctrl >/dev/null

# The window answers within a second, all the time, while the paste is taken in.
worst=0
misses=0
for ((i = 0; i < 20; i++)); do
  t0=$(date +%s%N)
  answer="$(probe send "$H" 0 1000)" || true
  if [[ "$(kv answered <<<"$answer")" != "1" ]]; then
    misses=$((misses + 1))
  fi
  dt=$((($(date +%s%N) - t0) / 1000000))
  ((dt > worst)) && worst=$dt
done
we_log "20 WM_NULL probes, worst round trip ${worst} ms (the probe's own start included)"
check "WM_NULL unanswered within 1000 ms" "$misses" "0"

we_wait_for 20 "the scroller to take the pasted text" \
  bash -c "wine '$E2E_PROBE' children '$H' 2>/dev/null | grep -P '\tid=1009\t' | grep -q 'text=LED banner megabyte'" ||
  e2e_fail "the scroller did not get the pasted text"
text_len="$(child_field "$H" 1004 text | wc -c)"
we_log "the input box holds $text_len bytes"
check_true "the input box holds the megabyte ($text_len bytes)" test "$text_len" -ge 1048576
check "the scroller's width stops at 32627" "$(child_field "$H" 1009 local | cut -d, -f3)" "32627"
samples="$(probe track "$H" 1009 12 60)"
printf '%s\n' "$samples" >"$E2E_DIR/track.txt"
check_true "the text goes on scrolling" bash -c "sed -n 's/^x=\([-0-9]*\).*/\1/p' <<<'$samples' |
  awk 'NR > 1 && \$1 < p { n++ } { p = \$1 } END { exit !(n >= 2) }'"
check_true "the banner still runs" we_running banner
probe key esc >/dev/null || true

e2e_finish
