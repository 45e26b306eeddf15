#!/usr/bin/env bash
# Shows the snow: runs tavrel.scr full screen under Wine.
#   run_snow.sh PATH/TO/tavrel.scr
# With a reachable display ($DISPLAY) the saver runs on it until a key or the mouse ends it.
# Without one it runs for a few seconds on a private Xvfb display, saves screenshots under
# build/screenshots/ and prints their paths. Wine prefixes live under build/run/ and are set up
# once. Everything started here is stopped by its own id.
set -euo pipefail

scr=${1:?usage: run_snow.sh PATH/TO/tavrel.scr}
[[ -f $scr ]] || { echo "no saver at $scr: build it first (make run)" >&2; exit 1; }
scr=$(cd "$(dirname "$scr")" && pwd)/$(basename "$scr")
root=$(cd "$(dirname "$0")/.." && pwd)
rundir=$root/build/run
shots=$root/build/screenshots
seconds=${TAVREL_RUN_SECONDS:-8}  # of snow before the first screenshot

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Makes the prefix once; a prefix that was set up before is used as it is.
prepare_prefix() {
  export WINEPREFIX=$1
  if [[ ! -f $WINEPREFIX/.tavrel-ready ]]; then
    echo "Setting up the Wine prefix $WINEPREFIX (once)..."
    mkdir -p "$WINEPREFIX"
    timeout 180 wineboot --init >/dev/null 2>&1 </dev/null
    timeout 60 wineserver -w
    touch "$WINEPREFIX/.tavrel-ready"
  fi
}

on_current_display() {
  prepare_prefix "$rundir/prefix"
  echo "Snow on $DISPLAY: press a key or move the mouse to end it."
  wine "$scr" /s
}

xvfb_pid=
saver_pid=
stop_private_display() {
  if [[ -n $saver_pid ]] && kill -0 "$saver_pid" 2>/dev/null; then
    kill "$saver_pid" 2>/dev/null || true
  fi
  if [[ -n ${WINEPREFIX:-} ]]; then
    timeout 30 wineserver -k 2>/dev/null || true
  fi
  if [[ -n $xvfb_pid ]] && kill -0 "$xvfb_pid" 2>/dev/null; then
    kill "$xvfb_pid" 2>/dev/null || true
  fi
}

start_xvfb() {
  mkdir -p "$rundir"
  local fdfile=$rundir/display
  rm -f "$fdfile"
  setsid Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset \
    3>"$fdfile" </dev/null >"$rundir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $fdfile ]] && break
    sleep 0.1
  done
  [[ -s $fdfile ]] || { echo "Xvfb did not start; see $rundir/xvfb.log" >&2; exit 1; }
  export DISPLAY=:$(tr -d '[:space:]' <"$fdfile")
}

on_private_display() {
  trap stop_private_display EXIT
  start_xvfb
  prepare_prefix "$rundir/prefix-xvfb"
  echo "No display: running the snow on the private display $DISPLAY for a few seconds."
  wine "$scr" /s </dev/null >"$rundir/saver.log" 2>&1 &
  saver_pid=$!
  mkdir -p "$shots"
  rm -f "$shots"/snow-*.png
  timeout 60 xdotool search --sync --name '^ScreenSaver$' >/dev/null \
    || { echo "the saver's window did not appear; see $rundir/saver.log" >&2; exit 1; }
  # The first flakes need some seconds to fall from above the view to the ground.
  sleep "$seconds"
  local shot
  for n in 1 2 3 4; do
    shot=$shots/snow-$n.png
    timeout 20 import -display "$DISPLAY" -window root "$shot"
    echo "$shot"
    sleep 1
  done
  kill -0 "$saver_pid" 2>/dev/null || { echo "the saver ended early; see $rundir/saver.log" >&2; exit 1; }
}

if [[ -n ${DISPLAY:-} ]] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  on_current_display
else
  on_private_display
fi
