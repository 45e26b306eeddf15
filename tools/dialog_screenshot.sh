#!/usr/bin/env bash
# Takes a picture of the settings dialog: runs `tavrel.scr /c` under Wine on a private Xvfb
# display with a fresh prefix (nothing stored, so the dialog shows what a first run shows), and
# saves the dialog window, caption included, as a PNG.
#   dialog_screenshot.sh PATH/TO/tavrel.scr [OUTPUT.png]   (default output: docs/dialog.png)
# The display and the prefix come from the test harness's wine_env.sh and live under
# build/dialog-shot/; everything started here is stopped by its own id.
set -euo pipefail

scr=${1:?usage: dialog_screenshot.sh PATH/TO/tavrel.scr [OUTPUT.png]}
[[ -f $scr ]] || { echo "no saver at $scr: build it first" >&2; exit 1; }
scr=$(cd "$(dirname "$scr")" && pwd)/$(basename "$scr")
root=$(cd "$(dirname "$0")/.." && pwd)
output=${2:-$root/docs/dialog.png}
workdir=$root/build/dialog-shot
harness=$root/tests/harness/wine_env.sh

saver_pid=
finish() {
  if [[ -n $saver_pid ]] && kill -0 "$saver_pid" 2>/dev/null; then
    kill "$saver_pid" 2>/dev/null || true
  fi
  "$harness" stop "$workdir" >/dev/null 2>&1 || true
}
trap finish EXIT

"$harness" start "$workdir" >/dev/null
set -a
# shellcheck disable=SC1091
. "$workdir/env"
set +a

# With no window manager on the display nobody would draw the caption: Wine draws it itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1

wine "$scr" /c </dev/null >"$workdir/saver.log" 2>&1 &
saver_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Dialog$' | head -n 1) \
  || { echo "the dialog did not appear; see $workdir/saver.log" >&2; exit 1; }
# Let the dialog finish painting its controls.
sleep 1
mkdir -p "$(dirname "$output")"
timeout 20 import -window "$window" -strip "$output"

# Escape cancels the dialog, which ends the saver with status 0.
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 100); do
  kill -0 "$saver_pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$saver_pid" 2>/dev/null && { echo "the dialog did not close on Escape" >&2; exit 1; }
status=0
wait "$saver_pid" || status=$?
saver_pid=
[[ $status -eq 0 ]] || { echo "the saver ended with status $status" >&2; exit 1; }
echo "$output"
