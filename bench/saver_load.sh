#!/usr/bin/env bash
# The running saver's load on the machine beside the floor of any paced full-screen frame: frames a
# second, CPU cores (and their ratio to the floor's) and frame intervals, on private Xvfb displays
# of 1280x720 and 1920x1080 with Mesa's software renderer; then the same savers where nobody can
# see them (the display turned off, the window unmapped); then the Linux program as a Wayland
# saver on a headless sway at the first size (on the overlay layer), beside the floor in the same
# Wayland host, and as the resident saver: waiting, and its memory over 20 snowfalls.
#   bench/saver_load.sh [PATH/TO/tavrel.scr | PATH/TO/tavrel ...]
# (default: build/windows/tavrel.scr, and the Linux program build/native/tavrel when it is built).
# A .scr is measured under Wine, any other program as the Linux program, natively on the same
# display. Several programs (say, a build from before a change and one from after, or the Windows
# and the Linux program) are measured one after the other in the same run. SAVER_SECONDS and
# SAVER_WARMUP set the measured and warm-up seconds, SAVER_RATES the rates (100), SAVER_SIZES the
# displays (1280x720 1920x1080); the floor program, the swap counter and the probe come from
# build/native and build/windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build/bench-saver
floor=$root/build/native/bench/floor_frame
probe=$root/build/windows/tests/e2e/saver_probe.exe
if [[ $# -eq 0 ]]; then
  set -- "$root/build/windows/tavrel.scr"
  [[ -x $root/build/native/tavrel ]] && set -- "$@" "$root/build/native/tavrel"
fi
[[ -x $floor ]] || { echo "no floor program at $floor: build the native preset first" >&2; exit 1; }
programs=()
natives=()
for scr in "$@"; do
  [[ -f $scr ]] || { echo "no saver at $scr: build it first" >&2; exit 1; }
  kind=--native
  [[ $scr == *.scr ]] && kind=--scr
  programs+=("$kind" "$(cd "$(dirname "$scr")" && pwd)/$(basename "$scr")")
  [[ $kind == --native ]] && natives+=("$kind" "${programs[-1]}")
done
extra=()
[[ -f $probe ]] && extra+=(--probe "$probe")

trap '"$root/tests/harness/wine_env.sh" stop "$work" >/dev/null 2>&1 || true' EXIT
header=--header
for size in ${SAVER_SIZES:-1280x720 1920x1080}; do
  TAVREL_SCREEN=$size "$root/tests/harness/wine_env.sh" start "$work" >/dev/null
  PYTHONPATH=$root/tests/e2e PYTHONDONTWRITEBYTECODE=1 python3 "$root/bench/saver_load.py" \
    --env "$work/env" --workdir "$work" --size "$size" --floor "$floor" "${programs[@]}" \
    "${extra[@]}" $header --seconds "${SAVER_SECONDS:-15}" --warmup "${SAVER_WARMUP:-15}" \
    --rates "${SAVER_RATES:-100}"
  header=
done
# Nobody can see these: on the first display only.
size=${SAVER_SIZES:-1280x720}
size=${size%% *}
TAVREL_SCREEN=$size "$root/tests/harness/wine_env.sh" start "$work" >/dev/null
PYTHONPATH=$root/tests/e2e PYTHONDONTWRITEBYTECODE=1 python3 "$root/bench/saver_load.py" \
  --env "$work/env" --workdir "$work" --size "$size" --floor "$floor" "${programs[@]}" \
  "${extra[@]}" --display-off-only --seconds "${SAVER_SECONDS:-15}" \
  --warmup "${SAVER_WARMUP:-15}" --rates "${SAVER_RATES:-100}"
# On Wayland: the Linux programs only, on a headless sway of the first size.
if [[ ${#natives[@]} -gt 0 ]]; then
  PYTHONPATH=$root/tests/e2e:$root/tests/x11:$root/tests/wayland PYTHONDONTWRITEBYTECODE=1 \
    python3 "$root/bench/saver_load.py" --wayland --workdir "$work" --size "$size" \
    --floor "$floor" "${natives[@]}" --seconds "${SAVER_SECONDS:-15}" \
    --warmup "${SAVER_WARMUP:-15}" --rates "${SAVER_RATES:-100}"
fi
