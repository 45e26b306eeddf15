#!/usr/bin/env bash
# Starts or stops the private display and Wine prefix that the Windows-side tests share.
#   wine_env.sh start DIR [two-heads]
#                           start Xvfb on a free display, make a fresh prefix in DIR/prefix,
#                           write DIR/env (KEY=VALUE lines) for the tests to read; with two-heads
#                           the display is Xephyr inside that Xvfb, with two monitors side by
#                           side (1024x768 and 1280x720), and Wine is told to see both;
#                           TAVREL_SCREEN (WIDTHxHEIGHT, 1280x720 by default) sizes the one head
#   wine_env.sh stop DIR    stop that prefix's Wine server, Xephyr and Xvfb, by their own ids
set -euo pipefail
action=${1:?start or stop}
dir=${2:?directory}
layout=${3:-one-head}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
envfile=$dir/env

stop() {
  if [[ -f $envfile ]]; then
    # shellcheck disable=SC1090
    set -a; . "$envfile"; set +a
    WINEPREFIX=$WINEPREFIX timeout 30 wineserver -k 2>/dev/null || true
    for pid in ${TAVREL_XEPHYR_PID:-} ${TAVREL_XVFB_PID:-}; do
      if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
      fi
    done
    rm -f "$envfile"
  fi
}

# Starts an X server in the background with every descriptor closed, so that CTest never waits
# on its output, and prints its display number; its process id goes to DIR/NAME.pid.
start_server() {
  local name=$1
  shift
  local fdfile=$dir/$name.display
  rm -f "$fdfile"
  setsid "$@" -displayfd 3 -nolisten tcp -noreset 3>"$fdfile" </dev/null >"$dir/$name.log" 2>&1 &
  echo $! >"$dir/$name.pid"
  for _ in $(seq 100); do
    [[ -s $fdfile ]] && break
    sleep 0.1
  done
  [[ -s $fdfile ]] || { echo "$name did not start" >&2; cat "$dir/$name.log" >&2; exit 1; }
  tr -d '[:space:]' <"$fdfile"
}

start() {
  stop
  rm -rf "$dir/prefix"
  local display xephyr_pid=
  rm -f "$dir"/*.pid
  if [[ $layout == two-heads ]]; then
    local host
    host=$(start_server xvfb Xvfb -screen 0 2304x800x24)
    display=$(DISPLAY=:$host start_server xephyr \
      Xephyr +xinerama -screen 1024x768+0+0 -screen 1280x720+1024+0)
    xephyr_pid=$(<"$dir/xephyr.pid")
  elif [[ $layout == resizable ]]; then
    # Xephyr offers a resolution change through RandR, which Wine uses for ChangeDisplaySettingsEx
    # and follows with WM_DISPLAYCHANGE; the Xvfb around it holds the largest mode a test asks for.
    local host
    host=$(start_server xvfb Xvfb -screen 0 1600x1200x24)
    display=$(DISPLAY=:$host start_server xephyr Xephyr -resizeable -screen 1280x720)
    xephyr_pid=$(<"$dir/xephyr.pid")
  else
    display=$(start_server xvfb Xvfb -screen 0 "${TAVREL_SCREEN:-1280x720}x24")
  fi
  cat >"$envfile" <<ENV
DISPLAY=:$display
WINEPREFIX=$dir/prefix
WINEDEBUG=-all
WINEDLLOVERRIDES=mscoree,mshtml=
TAVREL_XVFB_PID=$(<"$dir/xvfb.pid")
TAVREL_XEPHYR_PID=$xephyr_pid
ENV
  set -a; . "$envfile"; set +a
  timeout 120 wineboot --init >/dev/null 2>&1 </dev/null
  timeout 60 wineserver -w
  # Marlett draws the caption buttons; Debian's Wine keeps it outside the folder this Wine reads,
  # and Windows' own font folder is read always. The dialog's text keeps the fonts it gets now.
  if [[ -f /usr/share/wine/fonts/marlett.ttf ]]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  if [[ $layout == two-heads ]]; then
    # Through XRandR Wine sees Xephyr's heads as one screen; through Xinerama as two monitors.
    # The desktop process reads this when it starts, so the prefix's processes start again.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f \
      >/dev/null 2>&1 </dev/null
    timeout 60 wineserver -k || true
    timeout 60 wineserver -w || true
  fi
  echo "display $DISPLAY, prefix $WINEPREFIX"
}

case $action in
  start) start ;;
  stop) stop ;;
  *) echo "unknown action $action" >&2; exit 2 ;;
esac
