#!/usr/bin/env bash
# Starts or stops the private display and Wine prefix that the Windows-side tests share.
#   wine_env.sh start DIR   start Xvfb on a free display, make a fresh prefix in DIR/prefix,
#                           write DIR/env (KEY=VALUE lines) for the tests to read
#   wine_env.sh stop DIR    stop that prefix's Wine server and that Xvfb, by their own ids
set -euo pipefail
action=${1:?start or stop}
dir=${2:?directory}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
envfile=$dir/env

stop() {
  if [[ -f $envfile ]]; then
    # shellcheck disable=SC1090
    set -a; . "$envfile"; set +a
    WINEPREFIX=$WINEPREFIX timeout 30 wineserver -k 2>/dev/null || true
    if [[ -n ${TAVREL_XVFB_PID:-} ]] && kill -0 "$TAVREL_XVFB_PID" 2>/dev/null; then
      kill "$TAVREL_XVFB_PID" 2>/dev/null || true
    fi
    rm -f "$envfile"
  fi
}

start() {
  stop
  rm -rf "$dir/prefix"
  local fdfile=$dir/display
  rm -f "$fdfile"
  # Detached, with every descriptor closed, so that CTest never waits on its output.
  setsid Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset \
    3>"$fdfile" </dev/null >"$dir/xvfb.log" 2>&1 &
  local xpid=$!
  for _ in $(seq 100); do
    [[ -s $fdfile ]] && break
    sleep 0.1
  done
  [[ -s $fdfile ]] || { echo "Xvfb did not start" >&2; cat "$dir/xvfb.log" >&2; exit 1; }
  cat >"$envfile" <<ENV
DISPLAY=:$(tr -d '[:space:]' <"$fdfile")
WINEPREFIX=$dir/prefix
WINEDEBUG=-all
WINEDLLOVERRIDES=mscoree,mshtml=
TAVREL_XVFB_PID=$xpid
ENV
  set -a; . "$envfile"; set +a
  timeout 120 wineboot --init >/dev/null 2>&1 </dev/null
  timeout 60 wineserver -w
  # Marlett draws the caption buttons; Debian's Wine keeps it outside the folder this Wine reads,
  # and Windows' own font folder is read always. The dialog's text keeps the fonts it gets now.
  if [[ -f /usr/share/wine/fonts/marlett.ttf ]]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  echo "display $DISPLAY, prefix $WINEPREFIX"
}

case $action in
  start) start ;;
  stop) stop ;;
  *) echo "unknown action $action" >&2; exit 2 ;;
esac
