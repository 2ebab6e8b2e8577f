#!/usr/bin/env bash
# Runs every benchmark program of the build; each prints its figures beside their baselines.
set -euo pipefail
build=${1:-build}
shopt -s nullglob
for b in "$build"/bench_*; do
  [[ -f "$b" && -x "$b" ]] || continue
  echo "== ${b##*/}"
  "$b"
done
