#!/usr/bin/env bash
# Builds ledbanner.exe and runs it under Wine.
#
#   bash tools/run.sh
#
# On a fresh Debian machine, as root, it first installs what it needs with apt-get (only what is
# missing). With a working $DISPLAY the banner runs there until it exits (Esc). Without one it
# runs in a private Xvfb for a few seconds, writes out/banner.png (a screenshot of the window)
# and out/banner.gif (the scrolling banner), prints where they are, and stops everything.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

packages=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 cmake make python3 wine wine64 xvfb x11-utils
  xdotool imagemagick fonts-wqy-zenhei)

install_missing() {
  local missing=() p
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  if ((EUID != 0)); then
    echo "run.sh: missing packages: ${missing[*]}; run as root, or: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "run.sh: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
}

install_missing

echo "run.sh: building (windows-x64)"
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64
exe="$repo/build/windows-x64/ledbanner.exe"
probe_exe="$repo/build/windows-x64/probe.exe"
[[ -f "$exe" ]] || {
  echo "run.sh: no $exe after the build" >&2
  exit 1
}

# shellcheck source-path=SCRIPTDIR source=wine-env.sh
source "$repo/tools/wine-env.sh"

# A prefix of its own, made once from the template and kept for the next run.
prefix="$repo/build/wine/run"
we_template_prefix >/dev/null
if [[ ! -f "$prefix/system.reg" ]]; then
  rm -rf "$prefix"
  cp -a "$WE_TEMPLATE" "$prefix"
fi
export WINEPREFIX="$prefix"

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  echo "run.sh: running $exe on $DISPLAY (Esc in the banner quits)"
  rc=0
  wine "$exe" || rc=$?
  wineserver -k 2>/dev/null || true
  exit "$rc"
fi

# No display: a virtual one, a screenshot and a short animation.
out="$repo/out"
work="$repo/build/run"
rm -rf "$work"
mkdir -p "$out" "$work/frames"
trap we_cleanup EXIT
we_xvfb_start "$work"
we_run banner "$work" "$exe"

hwnd="$(wine "$probe_exe" wait LEDBanner.Window 30000 | sed -n 's/^hwnd=//p')" || true
[[ -n "$hwnd" ]] || {
  echo "run.sh: the banner window did not appear (see $work/banner.err)" >&2
  exit 1
}
rect="$(wine "$probe_exe" info "$hwnd" | sed -n 's/^rect=//p')"
IFS=, read -r x y w h <<<"$rect"
crop="${w}x${h}+${x}+${y}"
echo "run.sh: banner window $hwnd at $rect"

# painted : the strip's colour shows in the window's area.
painted() {
  import -display "$DISPLAY" -window root -crop "$crop" +repage "$work/check.png" &&
    [[ "$("$WE_CONVERT" "$work/check.png" -crop "${w}x20+0+0" +repage \
      -fill black +opaque 'rgb(128,0,0)' -fill white -opaque 'rgb(128,0,0)' \
      -format '%[fx:mean>0.2]' info:)" == 1 ]]
}
we_wait_for 15 "the banner to be painted" painted ||
  echo "run.sh: the strip did not show its colour in time; taking the pictures anyway" >&2

# text_in_view : the scrolling text (control 1009) starts near the left of the strip.
text_in_view() {
  local sx
  sx="$(wine "$probe_exe" children "$hwnd" | grep -P '\tid=1009\t' | tr '\t' '\n' |
    sed -n 's/^local=//p' | cut -d, -f1)"
  [[ -n "$sx" ]] && ((sx >= 10 && sx <= 60))
}
we_wait_for 10 "the text to come into view" text_in_view || true
we_screenshot "$work/screen.png"
"$WE_CONVERT" "$work/screen.png" -crop "$crop" +repage "$out/banner.png"

# About 3 s of frames, as fast as import takes them; the frame delay is the measured time
# between frames.
frames=60
t0=$(date +%s%N)
for ((i = 0; i < frames; i++)); do
  import -display "$DISPLAY" -window root -crop "$crop" +repage \
    "$(printf '%s/frames/%03d.png' "$work" "$i")"
done
t1=$(date +%s%N)
delay=$(((t1 - t0) / frames / 10000000))
((delay < 2)) && delay=2
"$WE_CONVERT" -delay "$delay" -loop 0 "$work"/frames/*.png -layers Optimize "$out/banner.gif"

# Esc quits the banner (it has the focus); the trap stops whatever is left.
wine "$probe_exe" key esc >/dev/null || true
code="$(we_wait_exit banner 10)" || code="(killed)"
echo "run.sh: the banner ended with exit code $code"
echo "run.sh: screenshot: $out/banner.png"
echo "run.sh: animation:  $out/banner.gif ($frames frames, ${delay}0 ms apart)"
