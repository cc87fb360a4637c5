# shellcheck shell=bash
# Helpers for running Windows programs under Wine inside a private Xvfb.
# Source this file; it installs nothing. Functions are prefixed "we_" (wine env).
#
#   we_xvfb_start DIR          start Xvfb 1920x1080x24 on a free display; exports DISPLAY
#   we_template_prefix         make the template prefix once (locked, stamped); prints its path
#   we_prefix_new DIR          copy the template to DIR (cp -a); exports WINEPREFIX
#   we_set_logpixels N         LogPixels of the current prefix (programs started afterwards)
#   we_run NAME LOGDIR EXE ARG...   start EXE under wine in the background; stdout/stderr/rc
#                              go to LOGDIR/NAME.{out,err,rc}
#   we_running NAME            true while NAME has not exited
#   we_wait_exit NAME SECONDS  wait until NAME exits; prints its exit code
#   we_kill NAME               stop NAME (its wrapper and the wine process)
#   we_wait_for SECONDS WHAT CMD...   poll CMD every 0.05 s until it succeeds
#   we_screenshot FILE         screenshot of the whole screen
#   we_cleanup                 kill every program started here, wineserver -k, Xvfb
#
# Wine settings chosen for the template prefix, and why:
# - WINEARCH=win64, WINEDEBUG=-all, WINEDLLOVERRIDES="mscoree,mshtml=" (no Mono/Gecko dialogs).
# - WineDbg ShowCrashDialog=0: a crash ends the program instead of hanging the run on a dialog.
# - "黑体"/"SimHei" -> "WenQuanYi Zen Hei" substitutes and FontLink/SystemLink entries for the
#   GUI fonts, so Chinese text shows under code page 1252 (LANG=C.UTF-8).
# - X11 Driver Managed=N. With no window manager Wine stalls 2 s on every unmap/destroy of a
#   window it treats as managed (a lock took ~4 s, Esc ~2 s), which makes tests slow and their
#   time-outs fragile. Unmanaged windows remove the stalls. The cost is that `xdotool
#   windowfocus` no longer activates a Wine window, so tests give the X focus by clicking a
#   Wine window (we_x_click) - deterministic, and it is what a person does anyway.

if [[ -n "${WE_LOADED:-}" ]]; then
  return 0
fi
WE_LOADED=1

WE_REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WE_TEMPLATE="${WE_TEMPLATE:-$WE_REPO/build/wine/template}"
# Bump when the template's settings change: an old template is then made anew.
WE_TEMPLATE_VERSION=3

export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Code page 1252; Chinese comes through the font substitutes and links.
export LANG=C.UTF-8
export LC_ALL=C.UTF-8

# The real ImageMagick convert (a wrapper elsewhere on PATH may stand in front of it).
if [[ -x /usr/bin/convert ]]; then
  export WE_CONVERT=/usr/bin/convert
else
  export WE_CONVERT=convert
fi

declare -gA WE_PIDS=()
declare -gA WE_RCFILES=()
WE_XVFB_PID=""

we_log() {
  printf '[%s] %s\n' "$(date +%H:%M:%S.%3N)" "$*" >&2
}

we_die() {
  printf 'FAIL: %s\n' "$*" >&2
  exit 1
}

# we_wait_for SECONDS WHAT CMD... : poll CMD until it succeeds or the time runs out.
we_wait_for() {
  local seconds="$1" what="$2"
  shift 2
  local deadline=$((SECONDS + seconds))
  # SECONDS has 1 s resolution; also count polls so short limits are honoured.
  local polls=$((seconds * 20))
  while ((polls > 0)); do
    if "$@" >/dev/null 2>&1; then
      return 0
    fi
    if ((SECONDS > deadline)); then
      break
    fi
    sleep 0.05
    polls=$((polls - 1))
  done
  printf 'timed out after %ss waiting for: %s\n' "$seconds" "$what" >&2
  return 1
}

# we_xvfb_start DIR : start a private Xvfb on a display it picks itself (-displayfd).
we_xvfb_start() {
  local dir="$1"
  mkdir -p "$dir"
  local fdfile="$dir/xvfb.display"
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset \
    3>"$fdfile" >"$dir/xvfb.log" 2>&1 &
  WE_XVFB_PID=$!
  we_wait_for 20 "Xvfb to print its display number" test -s "$fdfile" ||
    we_die "Xvfb did not start (see $dir/xvfb.log)"
  local num
  num="$(tr -dc '0-9' <"$fdfile")"
  export DISPLAY=":$num"
  we_wait_for 20 "Xvfb $DISPLAY to answer" xdpyinfo -display "$DISPLAY" ||
    we_die "Xvfb $DISPLAY does not answer"
  we_log "Xvfb pid $WE_XVFB_PID on $DISPLAY"
}

we_xvfb_stop() {
  if [[ -n "$WE_XVFB_PID" ]]; then
    kill "$WE_XVFB_PID" 2>/dev/null || true
    wait "$WE_XVFB_PID" 2>/dev/null || true
    WE_XVFB_PID=""
  fi
}

# Registry settings of the template, as a .reg file (UTF-16LE so names survive any locale).
we_template_reg() {
  local link='hex(7):'
  local s='wqy-zenhei.ttc,WenQuanYi Zen Hei'
  local i
  for ((i = 0; i < ${#s}; i++)); do
    link+="$(printf '%02x,00,' "'${s:i:1}")"
  done
  link+='00,00,00,00'
  local fs='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  local sl='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Control Panel\Desktop]' '"LogPixels"=dword:00000060' '' \
    "[$fs]" '"黑体"="WenQuanYi Zen Hei"' '"SimHei"="WenQuanYi Zen Hei"' '' \
    "[$sl]"
  local face
  for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Liberation Sans" \
    "Segoe UI" "Arial"; do
    printf '"%s"=%s\r\n' "$face" "$link"
  done
  printf '\r\n'
}

# we_template_prefix : make the template prefix once; prints its path.
we_template_prefix() {
  local stamp="$WE_TEMPLATE/.ledbanner-template"
  mkdir -p "$(dirname "$WE_TEMPLATE")"
  (
    flock 9
    if [[ -f "$stamp" && "$(cat "$stamp")" == "$WE_TEMPLATE_VERSION" ]]; then
      exit 0
    fi
    we_log "making template prefix $WE_TEMPLATE (wineboot -i)"
    rm -rf "$WE_TEMPLATE"
    local work
    work="$(mktemp -d)"
    local own_x=""
    if [[ -z "${DISPLAY:-}" ]] || ! xdpyinfo >/dev/null 2>&1; then
      we_xvfb_start "$work"
      own_x=1
    fi
    WINEPREFIX="$WE_TEMPLATE" wineboot -i >"$work/wineboot.log" 2>&1 || true
    we_template_reg | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe' && cat; } >"$work/t.reg"
    WINEPREFIX="$WE_TEMPLATE" wine regedit /S "Z:${work//\//\\}\\t.reg" >>"$work/wineboot.log" 2>&1
    WINEPREFIX="$WE_TEMPLATE" wineserver -w
    [[ -f "$WE_TEMPLATE/system.reg" ]] || we_die "wineboot made no prefix (see $work/wineboot.log)"
    grep -q 'WenQuanYi Zen Hei' "$WE_TEMPLATE/system.reg" ||
      we_die "template registry settings missing (see $work/wineboot.log)"
    if [[ -n "$own_x" ]]; then
      we_xvfb_stop
    fi
    rm -rf "$work"
    printf '%s\n' "$WE_TEMPLATE_VERSION" >"$stamp"
  ) 9>"$WE_TEMPLATE.lock" || return 1
  printf '%s\n' "$WE_TEMPLATE"
}

# we_prefix_new DIR : a private prefix copied from the template.
we_prefix_new() {
  local dir="$1"
  local template
  template="$(we_template_prefix)" || we_die "no template prefix"
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  cp -a "$template" "$dir"
  export WINEPREFIX="$dir"
}

we_set_logpixels() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
    we_die "could not set LogPixels $1"
}

# we_run NAME LOGDIR EXE ARG... : background run; the wrapper records the exit code.
we_run() {
  local name="$1" logdir="$2"
  shift 2
  mkdir -p "$logdir"
  local rc="$logdir/$name.rc"
  # Remove the files of an earlier run of NAME now: the wrapper truncates them only once it runs,
  # and a wait on the old contents would see stale output.
  rm -f "$rc" "$logdir/$name.out" "$logdir/$name.err"
  bash -c 'wine "$@" >"$0.out" 2>"$0.err"; echo $? >"$0.rc.tmp"; mv "$0.rc.tmp" "$0.rc"' 2>/dev/null \
    "$logdir/$name" "$@" &
  WE_PIDS[$name]=$!
  WE_RCFILES[$name]="$rc"
}

we_exited() {
  [[ -s "${WE_RCFILES[$1]}" ]]
}

we_running() {
  ! we_exited "$1"
}

# we_wait_exit NAME SECONDS : prints the exit code; fails when it does not exit in time.
we_wait_exit() {
  local name="$1" seconds="$2"
  we_wait_for "$seconds" "$name to exit" we_exited "$name" || return 1
  cat "${WE_RCFILES[$name]}"
}

we_kill() {
  local name="$1"
  local pid="${WE_PIDS[$name]:-}"
  if [[ -n "$pid" ]]; then
    # The wrapper's child is the wine process itself; once it is gone the wrapper ends by itself
    # (killing the wrapper too would make bash report "Killed").
    pkill -KILL -P "$pid" 2>/dev/null || true
    local i
    for ((i = 0; i < 100; i++)); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    unset "WE_PIDS[$name]"
  fi
}

we_screenshot() {
  import -display "$DISPLAY" -window root "$1"
}

# we_x_click X Y : click at a screen point (gives the X focus to the Wine window there).
# No --sync: with the pointer already there it waits 15 s; X handles the requests in order.
we_x_click() {
  xdotool mousemove "$1" "$2" click 1
}

we_cleanup() {
  local name
  for name in "${!WE_PIDS[@]}"; do
    we_kill "$name"
  done
  if [[ -n "${WINEPREFIX:-}" && -d "${WINEPREFIX:-}" ]]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  we_xvfb_stop
}
