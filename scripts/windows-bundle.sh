#!/usr/bin/env bash
# Builds the Windows release bundle, build-win32/paloran-<version>-win32.zip:
#   paloran.dll        the 32-bit engine (scripts/build-windows.sh i686)
#   paloran.lib        import library for MSVC-built hosts (llvm-dlltool)
#   libpaloran.dll.a   import library for MinGW-built hosts
#   paloran.def        the module definition both were made from
#   include/           paloran.h and the files it includes
#   README.md
#   licenses/          the copyright and licence text of every library linked
#                      into the DLL: the Debian source packages the static
#                      libraries were built from, zlib, the MinGW-w64 run-time
#                      and GCC's run-time libraries
# The MSVC import library is checked: one import for each export, each named
# by its __stdcall symbol (_NAME@bytes, as MSVC calls it) and importing the
# undecorated NAME the DLL exports.
# Usage: scripts/windows-bundle.sh [--no-build]   (--no-build: use build-win32 as it is)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-win32"
[ "${1:-}" = --no-build ] || "$root/scripts/build-windows.sh" i686
"$root/scripts/install-deps.sh" demo llvm zip unzip
fail() { echo "windows-bundle: $*" >&2; exit 1; }

version="$(sed -n 's/^project(paloran VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
name="paloran-$version-win32"
stage="$build/bundle/$name"
rm -rf "$build/bundle"
mkdir -p "$stage/include" "$stage/licenses"

cp "$build/bin/paloran.dll" "$build/paloran.def" "$build/libpaloran.dll.a" "$root/README.md" "$stage/"
cp "$root/include/paloran.h" "$root/include/paloran_filters.inc" "$build/include/paloran_exports.inc" "$stage/include/"
llvm-dlltool -m i386 -k -d "$build/paloran.def" -l "$stage/paloran.lib"

# The check: every short import member of paloran.lib, as "name-type symbol...".
llvm-readobj "$stage/paloran.lib" | awk '
  /^Format: COFF-import-file/ { inimport = 1; next }
  inimport && /^Name type:/   { type = $3; next }
  inimport && /^Symbol: /     { if ($2 !~ /^__imp_/) { print type, $2; inimport = 0 } }
' >"$build/bundle/imports.txt"
[ "$(wc -l <"$build/bundle/imports.txt")" -eq "$(wc -l <"$build/paloran_exports.txt")" ] \
  || fail "paloran.lib has $(wc -l <"$build/bundle/imports.txt") imports for $(wc -l <"$build/paloran_exports.txt") exports"
# "undecorate": the loader imports the symbol without its leading underscore and @bytes.
awk '$1 != "undecorate" || $2 !~ /^_[A-Za-z0-9_]+@[0-9]+$/ { print "windows-bundle: paloran.lib imports " $2 " as " $1; bad = 1 }
     END { exit bad }' "$build/bundle/imports.txt" || exit 1
diff <(sed 's/^[^ ]* _//; s/@[0-9]*$//' "$build/bundle/imports.txt" | sort) <(sort "$build/paloran_exports.txt") \
  || fail "paloran.lib and the export list name different functions"
diff <(sed 's/^[^ ]* //' "$build/bundle/imports.txt" | sort) <(sed '1,/^EXPORTS/d; s/^ *_*/_/' "$build/paloran.def" | sort) \
  || fail "paloran.lib symbols differ from paloran.def"
# The MinGW import library names the same decorated symbols.
for sym in $(sed 's/^[^ ]* //' "$build/bundle/imports.txt"); do echo "$sym"; done | sort >"$build/bundle/want.txt"
llvm-nm "$stage/libpaloran.dll.a" 2>/dev/null | awk '$2 == "T" { print $3 }' | sort -u >"$build/bundle/mingw.txt"
comm -23 "$build/bundle/want.txt" "$build/bundle/mingw.txt" | grep -q . \
  && fail "libpaloran.dll.a misses symbols: $(comm -23 "$build/bundle/want.txt" "$build/bundle/mingw.txt" | head -3)"
echo "windows-bundle: paloran.lib and libpaloran.dll.a import all $(wc -l <"$build/paloran_exports.txt") exports undecorated"

# Licences: the static libraries' Debian source packages (versions recorded by
# build-windows-deps.sh), then the libraries MinGW-w64 itself links in.
deps="${PALORAN_WINDEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/paloran-windeps}"
while read -r pkg v; do
  src="$deps/src/${pkg}_${v#*:}/debian/copyright"
  [ -f "$src" ] || fail "no licence text for $pkg $v ($src)"
  cp "$src" "$stage/licenses/$pkg.txt"
done <"$deps/versions"
for pkg in libz-mingw-w64 mingw-w64-common gcc-mingw-w64-base; do
  [ -f "/usr/share/doc/$pkg/copyright" ] || fail "no licence text for $pkg"
  cp "/usr/share/doc/$pkg/copyright" "$stage/licenses/$pkg.txt"
done

zipfile="$build/$name.zip"
rm -f "$zipfile"
(cd "$build/bundle" && TZ=UTC zip -qrX "$zipfile" "$name")
unzip -l "$zipfile"
echo "windows-bundle: $zipfile ($(stat -c %s "$zipfile") bytes)"
