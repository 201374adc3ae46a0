#!/usr/bin/env bash
# Builds and runs every benchmark program (or those whose name matches $1).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh" release
for b in "$root"/build/bench/bench_*; do
  [[ -n "${1:-}" && "$b" != *"$1"* ]] && continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
