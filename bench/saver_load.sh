#!/usr/bin/env bash
# The running saver's load on the machine: frames a second, CPU cores and frame intervals at 100
# and 300 flakes a second, on a private 1280x720 Xvfb with Mesa's software renderer.
#   bench/saver_load.sh [PATH/TO/tavrel.scr | PATH/TO/tavrel ...]
# (default: build/windows/tavrel.scr, and the Linux program build/native/tavrel when it is built).
# A .scr is measured under Wine, any other program as the Linux program, natively on the same
# display. Several programs (say, a build from before a change and one from after, or the Windows
# and the Linux program) are measured one after the other in the same run. SAVER_SECONDS and
# SAVER_WARMUP set the measured and warm-up seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build/bench-saver
if [[ $# -eq 0 ]]; then
  set -- "$root/build/windows/tavrel.scr"
  [[ -x $root/build/native/tavrel ]] && set -- "$@" "$root/build/native/tavrel"
fi
scrs=()
for scr in "$@"; do
  [[ -f $scr ]] || { echo "no saver at $scr: build it first" >&2; exit 1; }
  kind=--native
  [[ $scr == *.scr ]] && kind=--scr
  scrs+=("$kind" "$(cd "$(dirname "$scr")" && pwd)/$(basename "$scr")")
done

trap '"$root/tests/harness/wine_env.sh" stop "$work" >/dev/null 2>&1 || true' EXIT
"$root/tests/harness/wine_env.sh" start "$work" >/dev/null
PYTHONPATH=$root/tests/e2e PYTHONDONTWRITEBYTECODE=1 python3 "$root/bench/saver_load.py" \
  --env "$work/env" --workdir "$work" "${scrs[@]}" \
  --seconds "${SAVER_SECONDS:-15}" --warmup "${SAVER_WARMUP:-5}"
