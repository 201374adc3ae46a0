#!/usr/bin/env bash
# Installs the Debian packages a build needs. Idempotent: does nothing when
# everything is present.
#   scripts/install-deps.sh [demo|test|fuzz|windows] [package...]
# "demo" is what the engine and the command-line host need; "test" (the
# default) adds GoogleTest, Google Benchmark and the benchmarks' yardsticks;
# "windows" adds the cross builds' set (MinGW-w64 compilers, zlib for
# MinGW, GoogleTest's sources, dpkg-dev to fetch the Debian sources of the
# libraries built for MinGW, Wine and a virtual X server to run the tests);
# "fuzz" is clang with libFuzzer for scripts/fuzz.sh, included by "test",
# which also brings Pillow (python3-pil) to write the image test corpus and
# to check the files the engine writes;
# any other argument is a package name installed too.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config binutils
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libtiff-dev libgif-dev liblua5.1-0-dev
  libopencv-core-dev libopencv-imgproc-dev
  libfreetype-dev libharfbuzz-dev libfontconfig-dev fonts-dejavu-core
  libsane-dev libx11-dev
)
test_packages=(libgtest-dev libbenchmark-dev libpixman-1-dev libmypaint-dev python3-pil ffmpeg poppler-utils xvfb xauth)
fuzz_packages=(clang libclang-rt-14-dev)
windows_packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  libz-mingw-w64-dev googletest
  dpkg-dev
  wine64 xvfb xauth
)
[ $# -eq 0 ] && set -- test
for arg in "$@"; do
  case "$arg" in
    demo) ;;
    test) packages+=("${test_packages[@]}" "${fuzz_packages[@]}") ;;
    fuzz) packages+=("${fuzz_packages[@]}") ;;
    windows) packages+=("${test_packages[@]}" "${windows_packages[@]}") ;;
    *) packages+=("$arg") ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
