#!/usr/bin/env bash
# Proves the engine installs and packages as a host developer uses it:
#   1. cmake --install of the release build into a temporary prefix;
#   2. examples/paint_dab.c built against that prefix through CMake
#      (find_package(paloran)) and through pkg-config, both run;
#   3. the installed host's --version, manual page and shipped data;
#   4. the Debian packages (cpack): apt-get checks they install here
#      (--simulate: the system is left alone), dpkg -x unpacks them into a
#      clean folder and the unpacked `paloran demo` paints the demo picture.
# Reuses build/ (scripts/build.sh release builds it when missing).
# Usage: scripts/test-package.sh [--keep]   (--keep leaves the temporary folder)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
keep="${1:-}"
# dpkg-shlibdeps and file, which cpack runs to find the packages' dependencies.
"$root/scripts/install-deps.sh" demo dpkg-dev file
[ -f "$build/build.ninja" ] || "$root/scripts/build.sh" release
cmake --build "$build" --target paloran paloran_cli paloran_man >/dev/null

tmp="$(mktemp -d "${TMPDIR:-/tmp}/paloran-package.XXXXXX")"
[ "$keep" = --keep ] && echo "test-package: working in $tmp" || trap 'rm -rf "$tmp"' EXIT
fail() { echo "test-package: $*" >&2; exit 1; }
is_png() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$1 is not a PNG"; }

version="$(sed -n 's/^project(paloran VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
lib="$(find "$prefix" -name "libpaloran.so.$version")"
[ -n "$lib" ] || fail "no libpaloran.so.$version installed"
readelf -d "$lib" | grep -q 'SONAME.*\[libpaloran\.so\.0\]' || fail "libpaloran.so.$version has no soname libpaloran.so.0"
echo "install: $(cd "$prefix" && find . -type f | wc -l) files into a temporary prefix"

# The consumer through CMake.
cmake -S "$root/examples" -B "$tmp/example-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$tmp/example-cmake" >/dev/null
"$tmp/example-cmake/paint_dab" "$tmp/cmake.png"
is_png "$tmp/cmake.png"

# The consumer through pkg-config, one line of shell.
export PKG_CONFIG_PATH="$(dirname "$(find "$prefix" -name paloran.pc)")"
[ "$(pkg-config --modversion paloran)" = "$version" ] || fail "paloran.pc names another version"
cc -std=c99 -Wall -Wextra -pedantic -Werror "$root/examples/paint_dab.c" -o "$tmp/paint_dab" \
  $(pkg-config --cflags --libs paloran) -Wl,-rpath,"$(pkg-config --variable=libdir paloran)"
"$tmp/paint_dab" "$tmp/pkg-config.png"
is_png "$tmp/pkg-config.png"
cmp -s "$tmp/cmake.png" "$tmp/pkg-config.png" || fail "the two consumer builds painted different pictures"

# The installed host.
"$prefix/bin/paloran" --version | grep -qx "paloran $version" || fail "paloran --version"
man -l "$prefix/share/man/man1/paloran.1" 2>/dev/null | grep -q "paloran demo\|demo \[" \
  || grep -q '^\.TH PALORAN 1' "$prefix/share/man/man1/paloran.1" || fail "no manual page"
# The installed host finds its shipped data by bare name, from any folder.
mkdir "$tmp/elsewhere"
(cd "$tmp/elsewhere" && unset PALORAN_DATA_DIR \
  && "$prefix/bin/paloran" lua invert.lua "$tmp/cmake.png" inverted.png >/dev/null \
  && "$prefix/bin/paloran" replay demo.srp --size 240x160 >/dev/null) || fail "the installed host misses its data"
is_png "$tmp/elsewhere/inverted.png"
is_png "$tmp/elsewhere/demo.png"
echo "installed host: $("$prefix/bin/paloran" --version), manual page, shipped filters and demo script"

# The Debian packages.
(cd "$build" && cpack -G DEB -B "$tmp/deb" >/dev/null)
debs=("$tmp"/deb/*.deb)
for d in "${debs[@]}"; do
  echo "deb: $(basename "$d") ($(stat -c %s "$d") bytes) depends: $(dpkg-deb -f "$d" Depends)"
done
if [ "$(id -u)" = 0 ]; then
  apt-get install --simulate -qq "${debs[@]}" >/dev/null || fail "apt-get cannot install the packages"
  echo "deb: apt-get would install them here (simulated)"
fi
rootfs="$tmp/root"
for d in "${debs[@]}"; do dpkg -x "$d" "$rootfs"; done
(cd "$tmp" && "$rootfs/usr/bin/paloran" demo -o "$tmp/demo.png" >/dev/null)
is_png "$tmp/demo.png"
echo "deb: unpacked paloran demo wrote demo.png ($(stat -c %s "$tmp/demo.png") bytes)"
echo "test-package: passed"
