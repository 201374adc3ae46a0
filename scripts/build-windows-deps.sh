#!/usr/bin/env bash
# Builds the image libraries (libpng, libjpeg-turbo, libtiff, giflib), Lua
# 5.1, OpenCV's core and imgproc modules, FreeType and HarfBuzz as static
# MinGW-w64 libraries from Debian's own source packages, for the Windows
# cross builds (Debian ships none of them for MinGW).
# They are cached outside the checkout, in $PALORAN_WINDEPS (by default
# ~/.cache/paloran-windeps), so that clones and work trees share one build:
#   <cache>/src/<package>_<version>/         downloaded and unpacked sources
#   <cache>/<arch>/prefix/{include,lib}       what the cross builds link
#   <cache>/<arch>/stamps/<package>_<version> one per finished build
# The system's apt configuration is left alone: a private sources list (deb-src
# lines for the suites and mirrors the system uses) with private lists and
# caches under <cache>/apt. Idempotent: a package whose stamp exists is
# skipped, and the source indexes are fetched only once (WINDEPS_REFRESH=1
# fetches them again, e.g. to pick up a security update).
# Usage: scripts/build-windows-deps.sh [both|i686|x86_64]
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "$0")/.." && pwd)"
which="${1:-both}"
case "$which" in
  both) arches=(i686 x86_64) ;;
  i686|x86_64) arches=("$which") ;;
  *) echo "usage: $0 [both|i686|x86_64]" >&2; exit 2 ;;
esac
top="${PALORAN_WINDEPS:-${XDG_CACHE_HOME:-$HOME/.cache}/paloran-windeps}"
mkdir -p "$top"
jobs="$(nproc)"
packages=(libpng1.6 libjpeg-turbo tiff giflib lua5.1 opencv freetype harfbuzz)

# ---- private apt set-up ----------------------------------------------------
aptdir="$top/apt"
apt_opts=(
  -o "Dir::Etc::SourceList=$aptdir/sources.list"
  -o "Dir::Etc::SourceParts=/dev/null"
  -o "Dir::State::Lists=$aptdir/lists"
  -o "Dir::Cache=$aptdir/cache"
  -o "APT::Sandbox::User=root"
)

# deb-src lines for the Debian archives enabled in /etc/apt (one-line .list
# entries and deb822 .sources stanzas alike).
derive_sources() {
  local f
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]\+/deb-src /p' /etc/apt/sources.list
  fi
  for f in /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]\+/deb-src /p' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && enabled != "no" && uris != "")
          for (i = 1; i <= nu; i++) for (j = 1; j <= ns; j++)
            print "deb-src" (signed != "" ? " [signed-by=" signed "]" : "") " " u[i] " " s[j] " " comps
        types = ""; uris = ""; comps = ""; signed = ""; enabled = ""; nu = 0; ns = 0
      }
      /^[[:space:]]*#/ { next }
      /^[[:space:]]*$/ { flush(); next }
      {
        key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^[[:space:]]+/, "")
        if (key == "types") types = $0
        else if (key == "uris") { uris = $0; nu = split($0, u, " ") }
        else if (key == "suites") ns = split($0, s, " ")
        else if (key == "components") comps = $0
        else if (key == "signed-by") signed = $0
        else if (key == "enabled") enabled = tolower($0)
      }
      END { flush() }' "$f"
  done
}

apt_ready=""
prepare_apt() {
  [ -n "$apt_ready" ] && return 0
  mkdir -p "$aptdir/lists/partial" "$aptdir/cache/archives/partial"
  # Debian's own archives only: third-party repositories carry no sources.
  derive_sources | grep -E '^deb-src .*/debian(-security)?/? ' | sort -u >"$aptdir/sources.list.new"
  if [ ! -s "$aptdir/sources.list.new" ]; then
    echo "build-windows-deps: no Debian archive found in /etc/apt" >&2
    exit 1
  fi
  if ! cmp -s "$aptdir/sources.list.new" "$aptdir/sources.list" 2>/dev/null \
      || [ -z "$(ls "$aptdir/lists" | grep Sources || true)" ] || [ -n "${WINDEPS_REFRESH:-}" ]; then
    mv "$aptdir/sources.list.new" "$aptdir/sources.list"
    echo "build-windows-deps: fetching source indexes"
    apt-get "${apt_opts[@]}" update -qq
  else
    rm -f "$aptdir/sources.list.new"
  fi
  apt_ready=1
}

# Source versions newest first (with epochs, as apt and dpkg spell them).
candidate_versions() {  # <package>
  local vs=() v i j t
  mapfile -t vs < <(apt-cache "${apt_opts[@]}" showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -u)
  for ((i = 0; i < ${#vs[@]}; i++)); do
    for ((j = i + 1; j < ${#vs[@]}; j++)); do
      if dpkg --compare-versions "${vs[j]}" gt "${vs[i]}"; then t="${vs[i]}"; vs[i]="${vs[j]}"; vs[j]="$t"; fi
    done
  done
  for v in "${vs[@]}"; do echo "$v"; done
}

# Downloads <package>=<version> and unpacks it with Debian's patches applied;
# fails when the mirror does not hold that version's files.
fetch_source() {  # <package> <version>
  local pkg="$1" v="$2" name="${1}_${2#*:}" dl="$top/src/download-$1"
  local dir="$top/src/$name"
  [ -f "$dir/.unpacked" ] && return 0
  prepare_apt
  rm -rf "$dir" "$dl"
  mkdir -p "$dl"
  if ! (cd "$dl" && apt-get "${apt_opts[@]}" source --download-only -qq "$pkg=$v" >/dev/null 2>"$dl.log"); then
    rm -rf "$dl"
    return 1
  fi
  dpkg-source --no-check -x "$dl/$name.dsc" "$dir" >/dev/null
  rm -rf "$dl" "$dl.log"
  touch "$dir/.unpacked"
}

# Picks the newest version whose files the mirror serves (a mirror may lag
# behind the indexes for fresh security updates) and unpacks it.
declare -A version
resolve_version() {  # <package>
  local pkg="$1" v newest=""
  prepare_apt
  for v in $(candidate_versions "$pkg"); do
    [ -n "$newest" ] || newest="$v"
    if fetch_source "$pkg" "$v"; then
      [ "$v" = "$newest" ] || echo "build-windows-deps: $pkg $newest cannot be fetched, using $v" >&2
      version[$pkg]="$v"
      return 0
    fi
  done
  echo "build-windows-deps: cannot fetch any version of the source package $pkg" >&2
  [ -f "$top/src/download-$pkg.log" ] && cat "$top/src/download-$pkg.log" >&2
  exit 1
}

# Versions already built, recorded by the previous run: lets a repeated run
# skip apt entirely when every stamp is present.
versions_file="$top/versions"
if [ -f "$versions_file" ] && [ -z "${WINDEPS_REFRESH:-}" ]; then
  while read -r p v; do version[$p]="$v"; done <"$versions_file"
fi
for p in "${packages[@]}"; do
  [ -n "${version[$p]:-}" ] || resolve_version "$p"
done
mkdir -p "$top"
for p in "${packages[@]}"; do echo "$p ${version[$p]}"; done >"$versions_file"

# ---- the builds --------------------------------------------------------------
# CMAKE_TARGET=<target> builds that target alone and skips the install step.
cmake_lib() {  # <arch> <source dir> <build dir> [cmake arguments...]
  local arch="$1" src="$2" bld="$3" target=()
  shift 3
  [ -n "${CMAKE_TARGET:-}" ] && target=(--target "$CMAKE_TARGET")
  rm -rf "$bld"
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-$arch.cmake" \
    -DPALORAN_WINDEPS_PREFIX="$top/$arch/prefix" \
    -DCMAKE_INSTALL_PREFIX="$top/$arch/prefix" -DCMAKE_INSTALL_LIBDIR="$top/$arch/prefix/lib" \
    -DCMAKE_INSTALL_INCLUDEDIR="$top/$arch/prefix/include" \
    -DCMAKE_POSITION_INDEPENDENT_CODE=OFF -Wno-dev "$@" >"$bld.log" 2>&1 \
    || { tail -n 40 "$bld.log" >&2; return 1; }
  cmake --build "$bld" --parallel "$jobs" "${target[@]}" >>"$bld.log" 2>&1 \
    || { tail -n 40 "$bld.log" >&2; return 1; }
  [ -n "${CMAKE_TARGET:-}" ] && return 0
  cmake --install "$bld" >>"$bld.log" 2>&1 || { tail -n 40 "$bld.log" >&2; return 1; }
}

cc_static_lib() {  # <arch> <build dir> <library path> [-Dflags...] -- <sources...>
  local arch="$1" bld="$2" lib="$3" cc="${CC_NAME:-gcc}" ar="$1-w64-mingw32-ar" flags=() objs=()
  cc="$1-w64-mingw32-$cc-posix"
  shift 3
  while [ "$1" != "--" ]; do flags+=("$1"); shift; done
  shift
  [ "$arch" = i686 ] && flags+=(-msse2 -mfpmath=sse)
  rm -rf "$bld"; mkdir -p "$bld"
  local s o
  for s in "$@"; do
    o="$bld/$(basename "${s%.*}").o"
    "$cc" -O2 -DNDEBUG "${flags[@]}" -c "$s" -o "$o" &
    objs+=("$o")
    # at most $jobs compilers at a time
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  done
  wait
  for o in "${objs[@]}"; do [ -f "$o" ] || { echo "build-windows-deps: compiling $o failed" >&2; return 1; }; done
  rm -f "$lib"
  "$ar" rcs "$lib" "${objs[@]}"
}

build_libjpeg-turbo() {  # <arch> <src> <build>
  # WITH_SIMD=OFF: the SIMD code needs NASM; the C paths are complete. Only
  # the static library is built (not the command-line programs).
  local prefix="$top/$1/prefix"
  CMAKE_TARGET=jpeg-static cmake_lib "$1" "$2" "$3" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JAVA=OFF -DREQUIRE_SIMD=OFF
  mkdir -p "$prefix/include" "$prefix/lib"
  cp "$3/libjpeg.a" "$prefix/lib/"
  cp "$2"/{jpeglib.h,jerror.h,jmorecfg.h} "$3/jconfig.h" "$prefix/include/"
}

build_libpng1.6() {
  cmake_lib "$1" "$2" "$3" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_BUILD_ZLIB=OFF -DZLIB_USE_STATIC_LIBS=ON
}

build_tiff() {
  # Deflate and JPEG (built above) kept; the other codecs' libraries are not built.
  cmake_lib "$1" "$2" "$3" -DBUILD_SHARED_LIBS=OFF -Dtiff-tools=OFF -Dtiff-tests=OFF \
    -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dtiff-deprecated=OFF -Dcxx=OFF \
    -Dzlib=ON -Dlibdeflate=OFF -Dpixarlog=ON -Djpeg=ON -Dold-jpeg=ON -Djpeg12=OFF \
    -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -DZLIB_USE_STATIC_LIBS=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON -DCMAKE_DISABLE_FIND_PACKAGE_GLUT=ON
}

build_giflib() {  # giflib has only a Makefile: compile the library sources directly
  local arch="$1" src="$2" bld="$3" prefix="$top/$1/prefix"
  mkdir -p "$prefix/include" "$prefix/lib"
  cc_static_lib "$arch" "$bld" "$prefix/lib/libgif.a" -- \
    "$src"/{dgif_lib,egif_lib,gifalloc,gif_err,gif_font,gif_hash,openbsd-reallocarray,quantize}.c
  cp "$src/gif_lib.h" "$prefix/include/"
}

build_lua5.1() {  # the core and standard libraries (src/*.c without the lua and luac programs)
  local arch="$1" src="$2" bld="$3" prefix="$top/$1/prefix" files=() f
  for f in "$src"/src/*.c; do
    case "$(basename "$f")" in lua.c|luac.c|print.c) ;; *) files+=("$f") ;; esac
  done
  mkdir -p "$prefix/include" "$prefix/lib"
  cc_static_lib "$arch" "$bld" "$prefix/lib/liblua5.1.a" -- "${files[@]}"
  ln -sf liblua5.1.a "$prefix/lib/liblua.a"
  cp "$src"/src/{lua.h,luaconf.h,lualib.h,lauxlib.h} "$src"/etc/lua.hpp "$prefix/include/"
}

build_opencv() {
  # core and imgproc only, no optional back ends (IPP and the like would be
  # downloaded, and Debian's source carries none of OpenCV's bundled
  # third-party libraries; the engine needs none of them). Library names keep OpenCV's Windows version
  # suffix (libopencv_core460.a); headers go to include/opencv4 as on Linux.
  # x86-64 keeps OpenCV's run-time dispatch to SSE4.1/AVX2 code; the 32-bit
  # build stays on its SSE2 baseline.
  local dispatch="SSE4_1;AVX;AVX2"
  [ "$1" = i686 ] && dispatch=""
  cmake_lib "$1" "$2" "$3" -DBUILD_LIST=core,imgproc -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_TESTS=OFF -DBUILD_PERF_TESTS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF -DBUILD_opencv_apps=OFF \
    -DBUILD_JAVA=OFF -DBUILD_opencv_python3=OFF -DBUILD_opencv_python2=OFF -DBUILD_ZLIB=OFF \
    -DWITH_IPP=OFF -DWITH_ITT=OFF -DWITH_OPENCL=OFF -DWITH_LAPACK=OFF -DWITH_EIGEN=OFF -DWITH_OPENMP=OFF \
    -DWITH_TBB=OFF -DWITH_PROTOBUF=OFF -DWITH_ADE=OFF -DWITH_CUDA=OFF -DWITH_FFMPEG=OFF -DWITH_GTK=OFF \
    -DWITH_WIN32UI=OFF -DWITH_DSHOW=OFF -DWITH_MSMF=OFF -DWITH_DIRECTX=OFF -DWITH_OPENCL_D3D11_NV=OFF \
    -DWITH_VA=OFF -DWITH_VA_INTEL=OFF -DWITH_1394=OFF -DWITH_QUIRC=OFF -DWITH_IMGCODEC_HDR=OFF \
    -DWITH_JPEG=OFF -DWITH_PNG=OFF -DWITH_TIFF=OFF -DWITH_WEBP=OFF -DWITH_OPENJPEG=OFF -DWITH_JASPER=OFF \
    -DWITH_OPENEXR=OFF -DWITH_GDAL=OFF -DWITH_GDCM=OFF -DWITH_IMGCODEC_SUNRASTER=OFF -DWITH_IMGCODEC_PXM=OFF \
    -DWITH_IMGCODEC_PFM=OFF -DWITH_CAROTENE=OFF -DWITH_OPENVX=OFF -DWITH_HALIDE=OFF -DWITH_ONNX=OFF \
    -DENABLE_PRECOMPILED_HEADERS=OFF -DOPENCV_GENERATE_PKGCONFIG=OFF -DBUILD_PACKAGE=OFF \
    -DCPU_BASELINE=SSE2 "-DCPU_DISPATCH=$dispatch" \
    -DOPENCV_LIB_INSTALL_PATH=lib -DOPENCV_3P_LIB_INSTALL_PATH=lib -DOPENCV_BIN_INSTALL_PATH=bin \
    -DOPENCV_INCLUDE_INSTALL_PATH=include/opencv4 -DOPENCV_CONFIG_INSTALL_PATH=lib/cmake/opencv4 \
    -DOPENCV_OTHER_INSTALL_PATH=share/opencv4 -DOPENCV_LICENSES_INSTALL_PATH=share/licenses/opencv4 \
    -DINSTALL_CREATE_DISTRIB=OFF -DOPENCV_SKIP_VISIBILITY_HIDDEN=ON
}

build_freetype() {  # the rasteriser alone: no bzip2, PNG glyphs, HarfBuzz or Brotli
  cmake_lib "$1" "$2" "$3" -DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DFT_REQUIRE_ZLIB=ON -DZLIB_USE_STATIC_LIBS=ON
}

build_harfbuzz() {  # the one-file amalgamation with the FreeType glue, no ICU or GLib
  local arch="$1" src="$2" bld="$3" prefix="$top/$1/prefix"
  mkdir -p "$prefix/include/harfbuzz" "$prefix/lib"
  CC_NAME=g++ cc_static_lib "$arch" "$bld" "$prefix/lib/libharfbuzz.a" -std=c++11 -fno-exceptions -fno-rtti -w \
    -DHAVE_FREETYPE=1 -DHAVE_FT_GET_VAR_BLEND_COORDINATES=1 -DHAVE_FT_SET_VAR_BLEND_COORDINATES=1 \
    -DHAVE_FT_DONE_MM_VAR=1 -DHAVE_FT_GET_TRANSFORM=1 "-I$prefix/include/freetype2" -- "$src/src/harfbuzz.cc"
  cp "$src"/src/hb*.h "$prefix/include/harfbuzz/"  # the public headers (the private ones are .hh)
}

build_arch() {  # <arch>: every package not yet built for it, in dependency order
  local arch="$1" pkg name stamp start
  mkdir -p "$top/$arch/stamps" "$top/$arch/build"
  # Order matters: libpng and libtiff find the libraries built before them.
  # FreeType before HarfBuzz, whose FreeType glue includes its headers.
  for pkg in libjpeg-turbo libpng1.6 tiff giflib lua5.1 opencv freetype harfbuzz; do
    name="${pkg}_${version[$pkg]#*:}"
    stamp="$top/$arch/stamps/$name"
    [ -f "$stamp" ] && continue
    echo "build-windows-deps: building $pkg ${version[$pkg]} for $arch"
    start=$(date +%s)
    rm -f "$top/$arch/stamps/${pkg}_"*
    "build_$pkg" "$arch" "$top/src/$name" "$top/$arch/build/$pkg"
    rm -rf "$top/$arch/build/$pkg"
    touch "$stamp"
    echo "build-windows-deps: $pkg for $arch done in $(( $(date +%s) - start )) s"
  done
}

# Sources first (shared by the architectures), then the builds.
for arch in "${arches[@]}"; do
  for pkg in "${packages[@]}"; do
    name="${pkg}_${version[$pkg]#*:}"
    [ -f "$top/$arch/stamps/$name" ] && continue
    fetch_source "$pkg" "${version[$pkg]}" || {
      echo "build-windows-deps: cannot fetch $pkg ${version[$pkg]}; WINDEPS_REFRESH=1 picks a version again" >&2
      exit 1
    }
  done
done
# The architectures build side by side: the configure steps are serial
# compiler checks, so two of them keep both processors busy.
pids=()
for arch in "${arches[@]}"; do
  build_arch "$arch" &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit "$failed"
