#!/usr/bin/env bash
# Runs one fuzz target for a bounded time.
#   run_fuzz_target.sh PROGRAM SEED_CORPUS WORK_DIR
# New inputs go to WORK_DIR/corpus (the committed seeds are only read); a failing input is kept
# as WORK_DIR/crash-* and the run fails. TAVREL_FUZZ_SECONDS sets the budget (default 5).
set -euo pipefail
program=${1:?program}
seeds=${2:?seed corpus}
work=${3:?work dir}
seconds=${TAVREL_FUZZ_SECONDS:-5}
mkdir -p "$work/corpus"
# -timeout: one input taking longer than this is a hang and fails the run.
exec "$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/corpus" "$seeds"
