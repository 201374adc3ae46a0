#!/usr/bin/env bash
# Configures and builds one flavour of the engine.
#   scripts/build.sh [release|sanitize] [extra cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
flavour="${1:-release}"
shift || true
case "$flavour" in
  release)  dir="$root/build";     args=(-DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) dir="$root/build-san"; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALORAN_SANITIZE=ON -DPALORAN_BENCH=OFF) ;;
  *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${args[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
