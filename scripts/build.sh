#!/usr/bin/env bash
# Configures and builds one flavour of the engine.
#   scripts/build.sh [demo|release|sanitize] [extra cmake arguments...]
# Each flavour sets every option it depends on, so a build folder configured
# by one flavour is right again after another has used it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
flavour="${1:-release}"
shift || true
case "$flavour" in
  demo)     dir="$root/build";     args=(-DCMAKE_BUILD_TYPE=Release -DPALORAN_SANITIZE=OFF -DPALORAN_TESTS=OFF -DPALORAN_BENCH=OFF) ;;
  release)  dir="$root/build";     args=(-DCMAKE_BUILD_TYPE=Release -DPALORAN_SANITIZE=OFF -DPALORAN_TESTS=ON -DPALORAN_BENCH=ON) ;;
  sanitize) dir="$root/build-san"; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALORAN_SANITIZE=ON -DPALORAN_TESTS=ON -DPALORAN_BENCH=OFF) ;;
  *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac
# ccache, where installed, shares objects between checkouts of the same tree.
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$root"
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$dir" -G Ninja "${args[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
