#!/usr/bin/env bash
# The Linux program's load: CPU use (in cores) and frames per second at a given flake rate on the
# software renderer, on a private 1280x720 Xvfb display, measured over MEASURE_SECONDS after
# WARM_UP_SECONDS. Frames are counted from outside by bench/libswap_log.so (one line per buffer
# swap); CPU from fields 14 and 15 of /proc/PID/stat.
#   bench/native_saver_load.sh BUILD_DIR RATE...
# prints one line per rate: "native RATE flakes/s: CORES cores, FPS frames/s".
set -euo pipefail
build=${1:?build folder, e.g. build/native}
shift
warm_up=${WARM_UP_SECONDS:-5}
measure=${MEASURE_SECONDS:-15}
program=$build/tavrel
swap_log=$build/bench/libswap_log.so
work=$(mktemp -d)
xvfb=""
tavrel=""
cleanup() {
  [ -n "$tavrel" ] && kill "$tavrel" 2>/dev/null && wait "$tavrel" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 9 -nolisten tcp -br -screen 0 1280x720x24 9>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n1 "$work/display")

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
swaps() { grep -c '^glXSwapBuffers' "$work/swaps" || true; }

for rate in "$@"; do
  DISPLAY=$display LD_PRELOAD=$swap_log "$program" -root --rate "$rate" 2>"$work/swaps" &
  tavrel=$!
  sleep "$warm_up"
  cpu_start=$(cpu_ticks "$tavrel")
  swaps_start=$(swaps)
  sleep "$measure"
  cpu_end=$(cpu_ticks "$tavrel")
  swaps_end=$(swaps)
  kill "$tavrel"
  wait "$tavrel" || true
  tavrel=""
  awk -v rate="$rate" -v cpu=$((cpu_end - cpu_start)) -v frames=$((swaps_end - swaps_start)) \
      -v ticks="$ticks" -v seconds="$measure" \
      'BEGIN { printf "native %d flakes/s: %.2f cores, %.1f frames/s\n", rate, cpu / ticks / seconds, frames / seconds }'
done
