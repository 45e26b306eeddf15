#!/usr/bin/env bash
# Runs one Windows program under Wine with the display and prefix of the test run.
#   wine_exec.sh ENVFILE PROGRAM [ARGS...]
set -euo pipefail
envfile=${1:?env file}
shift
if [[ ! -f $envfile ]]; then
  echo "no Wine environment at $envfile: run the wine_env_start test first" >&2
  exit 1
fi
set -a
# shellcheck disable=SC1090
. "$envfile"
set +a
exec wine "$@"
