#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Idempotent: does nothing when everything is present. Extra package names
# given as arguments are installed too.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config binutils
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libtiff-dev libgif-dev liblua5.1-0-dev
  libgtest-dev libbenchmark-dev libpixman-1-dev libmypaint-dev
  "$@"
)

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
