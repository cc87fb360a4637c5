#!/usr/bin/env bash
# The banner's cost, measured in one run: builds what it needs, prints a table and writes it to
# build/bench/results.md. See bench/README.md for what is measured and how.
#
#   bash bench/run.sh
#
# Settings (environment): BENCH_SECONDS (20) the measured window of each run, BENCH_WARMUP (3)
# seconds of scrolling before it, BENCH_ROUNDS (2) how often the floor and the banner runs are
# repeated one after the other, BENCH_CAPTURES (400) captures of the strip per text.
set -euo pipefail

REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$REPO/build/bench"
WIN="$REPO/build/windows-x64"
NATIVE="$REPO/build/native"
MEASURE_S="${BENCH_SECONDS:-20}"
WARMUP_S="${BENCH_WARMUP:-3}"
ROUNDS="${BENCH_ROUNDS:-2}"
CAPTURES="${BENCH_CAPTURES:-400}"
TEMPLATE_VERSION=1
T_START=$SECONDS

export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8

log() { printf '[%s] %s\n' "$(date +%T)" "$*" >&2; }
die() {
  printf 'FAIL: %s\n' "$*" >&2
  exit 1
}

# ---- processes started here, all ended on exit ----
XVFB_PID=""
SERVER_PID=""
declare -a STARTED=()

cleanup() {
  local rc=$?
  local pid
  for pid in "${STARTED[@]}"; do
    kill -KILL "$pid" 2>/dev/null || true
  done
  if [[ -n "${WINEPREFIX:-}" && -d "${WINEPREFIX:-}" ]]; then
    wineserver -k 2>/dev/null || true
  fi
  if [[ -n "$SERVER_PID" ]]; then
    kill "$SERVER_PID" 2>/dev/null || true
  fi
  for pid in "${STARTED[@]}" $SERVER_PID; do
    { wait "$pid"; } 2>/dev/null || true
  done
  if [[ -n "$XVFB_PID" ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  exit "$rc"
}
trap cleanup EXIT

# ---- what the run needs ----
need=()
command -v wine >/dev/null || need+=(wine64)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdpyinfo >/dev/null || need+=(x11-utils)
command -v x86_64-w64-mingw32-g++ >/dev/null || need+=(g++-mingw-w64-x86-64)
[[ -f /usr/include/benchmark/benchmark.h ]] || need+=(libbenchmark-dev)
[[ -f /usr/include/gtest/gtest.h ]] || need+=(libgtest-dev libgmock-dev)
[[ -f /usr/include/X11/Xlib.h ]] || need+=(libx11-dev)
[[ -d /usr/share/fonts/truetype/wqy ]] || need+=(fonts-wqy-zenhei)
if ((${#need[@]} > 0)); then
  log "installing ${need[*]}"
  apt-get update -qq && apt-get install -y -qq "${need[@]}" >/dev/null
fi

mkdir -p "$OUT"
log "building (native and windows-x64)"
(cd "$REPO" && cmake --preset native >"$OUT/build-native.log" 2>&1 &&
  cmake --build --preset native --target ledbanner_bench bench_xcapture >>"$OUT/build-native.log" 2>&1) ||
  die "native build failed (see $OUT/build-native.log)"
(cd "$REPO" && cmake --preset windows-x64 >"$OUT/build-windows.log" 2>&1 &&
  cmake --build --preset windows-x64 --target ledbanner bench_floor bench_probe \
    >>"$OUT/build-windows.log" 2>&1) || die "windows build failed (see $OUT/build-windows.log)"
BANNER_EXE="$WIN/ledbanner.exe"
FLOOR_EXE="$WIN/bench_floor.exe"
PROBE_EXE="$WIN/bench_probe.exe"

# ---- the native benchmarks first, while nothing else runs ----
log "native benchmarks (Google Benchmark, in-memory window manager)"
"$NATIVE/ledbanner_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 --benchmark_out="$OUT/native.json" --benchmark_out_format=json \
  >"$OUT/native.txt" 2>&1 || die "ledbanner_bench failed (see $OUT/native.txt)"

# ---- X server and Wine prefix of our own ----
fdfile="$OUT/xvfb.display"
: >"$fdfile"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$fdfile" >"$OUT/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 200); do
  [[ -s "$fdfile" ]] && break
  sleep 0.05
done
export DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
xdpyinfo >/dev/null 2>&1 || die "Xvfb did not start (see $OUT/xvfb.log)"
log "Xvfb pid $XVFB_PID on $DISPLAY"

# The template: wineboot -i once, with the crash dialog off, unmanaged windows (no stalls
# without a window manager), 96 dpi and the banner's font "黑体" mapped to WenQuanYi Zen Hei.
TEMPLATE="$OUT/template"
if [[ "$(cat "$TEMPLATE/.bench-template" 2>/dev/null)" != "$TEMPLATE_VERSION" ]]; then
  log "making the template prefix (wineboot -i)"
  rm -rf "$TEMPLATE"
  WINEPREFIX="$TEMPLATE" wineboot -i >"$OUT/wineboot.log" 2>&1 || true
  fs='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Control Panel\Desktop]' '"LogPixels"=dword:00000060' '' \
    "[$fs]" '"黑体"="WenQuanYi Zen Hei"' '"SimHei"="WenQuanYi Zen Hei"' '' |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe' && cat; } >"$OUT/template.reg"
  WINEPREFIX="$TEMPLATE" wine regedit /S "Z:${OUT//\//\\}\\template.reg" >>"$OUT/wineboot.log" 2>&1
  WINEPREFIX="$TEMPLATE" wineserver -w
  grep -q 'WenQuanYi Zen Hei' "$TEMPLATE/system.reg" || die "template settings missing"
  printf '%s\n' "$TEMPLATE_VERSION" >"$TEMPLATE/.bench-template"
fi
export WINEPREFIX="$OUT/prefix"
rm -rf "$WINEPREFIX"
cp -a "$TEMPLATE" "$WINEPREFIX"
# One wineserver for the whole run, in the foreground so that its pid is known.
wineserver -f -p >"$OUT/wineserver.log" 2>&1 &
SERVER_PID=$!
sleep 0.5
# The prefix's services start now, before anything is measured.
wine "$PROBE_EXE" wait NoSuchClass 0 >/dev/null 2>&1 || true

# ---- helpers ----
cpu_of() { # utime+stime of a process, in clock ticks
  local stat
  stat="$(<"/proc/$1/stat")"
  stat="${stat##*) }"
  # shellcheck disable=SC2086
  set -- $stat
  printf '%s\n' $((${12} + ${13}))
}

# The other processes of our prefix (services, explorer, ...): their pids, then their CPU summed.
REST_PIDS=()
find_rest() {
  REST_PIDS=()
  local p
  for p in /proc/[0-9]*; do
    p="${p#/proc/}"
    [[ "$p" == "$1" || "$p" == "$SERVER_PID" ]] && continue
    if tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      REST_PIDS+=("$p")
    fi
  done 2>/dev/null
}
rest_cpu() {
  local total=0 p
  for p in "${REST_PIDS[@]}"; do
    [[ -r "/proc/$p/stat" ]] && total=$((total + $(cpu_of "$p")))
  done
  printf '%s\n' "$total"
}

probe() { wine "$PROBE_EXE" "$@" 2>>"$OUT/probe.err"; }

wait_line() { # FILE PATTERN SECONDS
  local i
  for ((i = 0; i < $3 * 100; i++)); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.01
  done
  return 1
}

RESULTS="$OUT/raw.tsv"
printf 'round\tlabel\tprog\tserver\trest\twall\tticks\trate\n' >"$RESULTS"

# measure ROUND LABEL KIND PID : one window of MEASURE_S seconds.
measure() {
  local round="$1" label="$2" kind="$3" pid="$4"
  local track="$OUT/track-$label-$round.txt"
  : >"$track"
  find_rest "$pid"
  probe track "$kind" "$MEASURE_S" >"$track" &
  local ppid=$!
  STARTED+=("$ppid")
  wait_line "$track" '^begin' 30 || die "the probe did not start tracking ($track)"
  local c0 s0 r0 t0 c1 s1 r1 t1
  c0="$(cpu_of "$pid")"
  s0="$(cpu_of "$SERVER_PID")"
  r0="$(rest_cpu)"
  t0="$EPOCHREALTIME"
  sleep "$((MEASURE_S - 1))"
  wait_line "$track" '^end' 30 || die "the probe did not end ($track)"
  c1="$(cpu_of "$pid")"
  s1="$(cpu_of "$SERVER_PID")"
  t1="$EPOCHREALTIME"
  r1="$(rest_cpu)"
  wait "$ppid" || die "the probe failed ($track)"
  local ticks rate
  ticks="$(sed -n 's/^ticks=\([0-9]*\) .*/\1/p' "$track")"
  rate="$(sed -n 's/.* rate=\([0-9.]*\) .*/\1/p' "$track")"
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$round" "$label" $((c1 - c0)) $((s1 - s0)) \
    $((r1 - r0)) "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')" "$ticks" \
    "$rate" >>"$RESULTS"
  log "  $label: program $((c1 - c0)) ticks, wineserver $((s1 - s0)), rest $((r1 - r0)); $ticks timer ticks ($rate/s)"
}

# start EXE CLASS [ARG] : starts a Windows program, waits for its window; prints its pid.
start_program() {
  local exe="$1" class="$2" name
  name="$(basename "$exe" .exe)"
  wine "$exe" ${3:+"$3"} >"$OUT/$name.out" 2>"$OUT/$name.err" &
  local pid=$!
  STARTED+=("$pid")
  probe wait "$class" 20000 >/dev/null || die "no $class window"
  printf '%s\n' "$pid"
}

stop_program() { # CLASS PID
  probe close "$1" >/dev/null || true
  local i
  for ((i = 0; i < 200; i++)); do
    kill -0 "$2" 2>/dev/null || break
    sleep 0.05
  done
  kill -KILL "$2" 2>/dev/null || true
  { wait "$2"; } 2>/dev/null || true
}

# ---- CPU of scrolling: the floor, then the banner, one after the other, ROUNDS times ----
for ((round = 1; round <= ROUNDS; round++)); do
  log "round $round: floor program"
  pid="$(start_program "$FLOOR_EXE" LEDBanner.BenchFloor)"
  [[ "$(cat "/proc/$pid/comm")" == bench_floor* ]] || die "pid $pid is not the floor program"
  sleep "$WARMUP_S"
  measure "$round" floor floor "$pid"
  stop_program LEDBanner.BenchFloor "$pid"

  log "round $round: floor program that repaints 357x68 px a tick"
  pid="$(start_program "$FLOOR_EXE" LEDBanner.BenchFloor paint)"
  sleep "$WARMUP_S"
  measure "$round" paintfloor floor "$pid"
  stop_program LEDBanner.BenchFloor "$pid"

  log "round $round: banner"
  pid="$(start_program "$BANNER_EXE" LEDBanner.Window)"
  [[ "$(cat "/proc/$pid/comm")" == ledbanner* ]] || die "pid $pid is not the banner"
  sleep "$WARMUP_S"
  measure "$round" default banner "$pid"
  for bytes in 1000 100000; do
    probe settext "$bytes" 20000 >/dev/null || die "could not set $bytes bytes of text"
    sleep "$WARMUP_S"
    measure "$round" "$bytes" banner "$pid"
  done
  if ((round < ROUNDS)); then
    stop_program LEDBanner.Window "$pid"
  fi
done

# ---- frame integrity: captures of the strip while it scrolls (the banner is still running) ----
# The window is 439 px wide, so 439 of the strip's 440 columns are on the screen.
log "frame integrity: $CAPTURES captures with 100000 bytes, then with the default text"
mkdir -p "$OUT/frames-100000" "$OUT/frames-default"
"$NATIVE/bench_xcapture" "$CAPTURES" 740 475 439 80 "$OUT/frames-100000" 7 >"$OUT/frames-100000.txt"
stop_program LEDBanner.Window "$pid"
pid="$(start_program "$BANNER_EXE" LEDBanner.Window)"
sleep 1
"$NATIVE/bench_xcapture" "$CAPTURES" 740 475 439 80 "$OUT/frames-default" 11 >"$OUT/frames-default.txt"
stop_program LEDBanner.Window "$pid"

# ---- the table ----
python3 "$REPO/bench/report.py" "$OUT" "$((SECONDS - T_START))" | tee "$OUT/results.md"
