#!/usr/bin/env bash
# Fault: a long run. Two minutes of scrolling with typing and F1, F2, F3 cycles under the
# stand-in shell; after a warm-up, the resident memory of the program's process grows by less
# than 1 MiB. Runs alone (one Wine at a time), as every end-to-end test does.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_init faults-memory "$@"

WARMUP_S="${E2E_MEMORY_WARMUP_S:-15}"
RUN_S="${E2E_MEMORY_RUN_S:-105}"
LIMIT_KB=1024

shell_start --layout normal
banner_start banner
H="$BANNER_HWND"
focus_window_start

# The Linux process that runs ledbanner.exe: the wrapper's child, once Wine has set it up.
banner_pid() {
  local pid
  for pid in $(pgrep -P "${WE_PIDS[banner]}" || true) ; do
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qi 'ledbanner\.exe'; then
      printf '%s\n' "$pid"
      return 0
    fi
  done
  return 1
}
we_wait_for 10 "the program's process" banner_pid || e2e_abort "no process runs ledbanner.exe"
PID="$(banner_pid)"
rss_kb() { sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$PID/status"; }

press() {
  focus_window_focus
  xdotool key "$1"
}

cycles=0
# cycle N : type a text, lock, unlock, topmost on and off.
cycle() {
  we_x_click $((740 + 200)) $((475 + 114))
  probe_wait_focus "$H" 1004 5 || e2e_fail "cycle $1: the input box did not get the focus"
  input_replace "$H" "cycle $1 原创 $((RANDOM % 1000))"
  press F1
  probe wait-parent "$H" Progman 5000 >/dev/null || e2e_fail "cycle $1: F1 did not lock"
  press F2
  probe wait-parent "$H" desktop 5000 >/dev/null || e2e_fail "cycle $1: F2 did not unlock"
  press F3
  probe wait-info "$H" topmost 1 5000 >/dev/null || e2e_fail "cycle $1: F3 did not set topmost"
  press F3
  probe wait-info "$H" topmost 0 5000 >/dev/null || e2e_fail "cycle $1: F3 did not clear topmost"
  cycles=$((cycles + 1))
}

run_for() { # run_for SECONDS
  local end=$((SECONDS + $1))
  while ((SECONDS < end)); do
    cycle "$cycles"
    ((E2E_FAILED == 0)) || e2e_abort "a cycle failed"
  done
}

run_for "$WARMUP_S"
before="$(rss_kb)"
we_log "after the warm-up ($cycles cycles): VmRSS ${before} kB"
run_for "$RUN_S"
after="$(rss_kb)"
growth=$((after - before))
we_log "after $cycles cycles in all: VmRSS ${after} kB, growth ${growth} kB"
check_true "cycles ran during the measurement ($cycles in all)" test "$cycles" -ge 10
check_true "resident memory grew by less than 1 MiB (${growth} kB)" test "$growth" -lt "$LIMIT_KB"
samples="$(probe track "$H" 1009 10 60)"
check_true "it still scrolls" bash -c "sed -n 's/^x=\([-0-9]*\).*/\1/p' <<<'$samples' |
  awk 'NR > 1 && \$1 < p { n++ } { p = \$1 } END { exit !(n >= 2) }'"
check_true "the banner still runs" we_running banner
check "the shell closed nothing but empty workers" \
  "$(grep '^WM_CLOSE' "$SHELL_LOG" | grep -vc 'role=empty' || true)" "0"

e2e_finish
