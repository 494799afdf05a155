#!/usr/bin/env bash
# Installs every system package the build, the tests and the benchmarks need.
# Safe to run repeatedly: packages already present are skipped by apt.
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

packages=(
  build-essential cmake pkg-config git
  libgtest-dev googletest libbenchmark-dev
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-liberation2
  libx11-dev xvfb xauth
  libxcb1-dev libxcb-shm0-dev libxcb-xtest0-dev libxcb-res0-dev
  jackd2 xdotool imagemagick
  libsndfile1-dev
  libfftw3-dev libkissfft-dev libpixman-1-dev libcairo2-dev
  lsp-plugins-vst ardour python3
  lv2-dev lilv-utils serdi jalv x11-utils
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev make
  wine wine32:i386 wine64
  clang libclang-rt-14-dev valgrind
  pandoc weasyprint poppler-utils help2man lintian file unzip ffmpeg
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get -o DPkg::Lock::Timeout=1200 update -q
  $SUDO apt-get -o DPkg::Lock::Timeout=1200 install -y -q --no-install-recommends "${missing[@]}"
fi

# Debian has no mingw libpng: build a static one from Debian's source package
# for each Windows cross build (skipped when already installed).
"$(dirname "$0")/build-mingw-libpng.sh" i686
"$(dirname "$0")/build-mingw-libpng.sh" x86_64
