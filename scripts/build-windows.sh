#!/usr/bin/env bash
# Cross-builds paloran.dll for Windows with Debian's MinGW-w64 and checks
# that each DLL exports exactly the export list, undecorated.
#   build-win32/bin/paloran.dll   32-bit: the product, copy it next to the host
#   build-win64/bin/paloran.dll   64-bit: built with the tests (run by test-windows.sh)
# Usage: scripts/build-windows.sh [both|i686|x86_64] [extra cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
which="${1:-both}"
shift || true
"$root/scripts/install-deps.sh" windows
# Static image libraries and Lua for MinGW, built once from Debian's sources
# into ~/.cache/paloran-windeps/<arch>/prefix (or $PALORAN_WINDEPS; the
# toolchain files search there).
case "$which" in
  both|i686|x86_64) "$root/scripts/build-windows-deps.sh" "$which" ;;
esac

launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$root"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

build() {  # <toolchain> <build dir> <objdump> [cmake arguments...]
  local toolchain="$1" dir="$2" objdump="$3"
  shift 3
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$toolchain.cmake" -DPALORAN_BENCH=OFF "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
  cmake -DDLL="$dir/bin/paloran.dll" -DLIST="$dir/paloran_exports.txt" -DOBJDUMP="$objdump" \
    -P "$root/cmake/CheckDllExports.cmake"
  echo "$(stat -c %s "$dir/bin/paloran.dll") bytes  $dir/bin/paloran.dll"
}

case "$which" in
  both|i686) build mingw-i686 "$root/build-win32" i686-w64-mingw32-objdump -DPALORAN_TESTS=OFF "$@" ;;
esac
case "$which" in
  both|x86_64) build mingw-x86_64 "$root/build-win64" x86_64-w64-mingw32-objdump "$@" ;;
esac
case "$which" in
  both|i686|x86_64) ;;
  *) echo "usage: $0 [both|i686|x86_64] [cmake arguments...]" >&2; exit 2 ;;
esac
