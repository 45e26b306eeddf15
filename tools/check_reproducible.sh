#!/usr/bin/env bash
# Builds the release twice, each time with make dist in a fresh clone of this repository's last
# commit, in folders of different names and depths and at different times, and compares the two
# dist/ folders byte for byte. Without the compiler cache, so that each build compiles its own
# objects. Ends with status 0 when they are the same.
#   check_reproducible.sh [JOBS]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${1:-2}
work=$(mktemp -d /tmp/tavrel-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

build() {
  local clone=$1
  git clone --quiet --no-hardlinks "$root" "$clone"
  (cd "$clone" && CCACHE_DISABLE=1 make dist JOBS="$jobs" >"$clone.log" 2>&1) \
    || { echo "make dist failed in $clone:" >&2; tail -n 30 "$clone.log" >&2; exit 1; }
}

build "$work/first"
sleep 2
build "$work/second/tavrel-elsewhere"
if diff -r "$work/first/dist" "$work/second/tavrel-elsewhere/dist"; then
  echo "The release is reproducible:"
  cat "$work/first/dist/SHA256SUMS"
  (cd "$work/first/dist" && stat -c '%s bytes  %n' -- *)
else
  for file in "$work/first/dist"/*; do
    cmp "$file" "$work/second/tavrel-elsewhere/dist/$(basename "$file")" || true
  done
  exit 1
fi
