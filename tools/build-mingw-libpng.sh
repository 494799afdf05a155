#!/usr/bin/env bash
# Builds a static libpng for a Windows cross build from Debian's own source
# package and installs it into PREFIX. Debian ships no mingw libpng; zlib comes
# from libz-mingw-w64-dev. Nothing of either is kept in the repository.
#
# Usage: tools/build-mingw-libpng.sh [i686|x86_64] [PREFIX]
#   i686    the 32-bit DLL's tool chain (default), PREFIX default /opt/virlex-mingw
#   x86_64  the 64-bit DLL's tool chain, PREFIX default /opt/virlex-mingw64
# A single argument that is neither target is taken as PREFIX for i686.
# Safe to run repeatedly: returns at once when PREFIX already holds the library.
set -euo pipefail

TARGET=i686
case "${1:-}" in
  i686 | x86_64)
    TARGET=$1
    shift
    ;;
esac
case "$TARGET" in
  i686) PREFIX="${1:-/opt/virlex-mingw}" ;;
  x86_64) PREFIX="${1:-/opt/virlex-mingw64}" ;;
esac
HOST=${TARGET}-w64-mingw32
SYSROOT=/usr/${HOST}

if [ -f "${PREFIX}/lib/libpng.a" ] && [ -f "${PREFIX}/include/png.h" ]; then
  echo "libpng for ${HOST} already in ${PREFIX}"
  exit 0
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

for tool in ${HOST}-gcc make dpkg-source; do
  if ! command -v "$tool" >/dev/null; then
    echo "missing $tool: run tools/install-deps.sh first" >&2
    exit 1
  fi
done
if [ ! -f "${SYSROOT}/lib/libz.a" ] || [ ! -f "${SYSROOT}/include/zlib.h" ]; then
  echo "missing the mingw zlib for ${HOST} (libz-mingw-w64-dev): run tools/install-deps.sh first" >&2
  exit 1
fi

# The main archive's URIs, from whichever form the machine's sources take.
# The security suite publishes no sources there, so it is left out.
main_archive_uris() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
         /(^|\n)Types:[^\n]*deb/ && /(^|\n)Suites:[^\n]*bookworm/ {
           uris = ""; security = 0
           for (i = 1; i <= NF; i++) {
             if ($i ~ /^URIs:/) { uris = $i; sub(/^URIs:[ \t]*/, "", uris) }
             if ($i ~ /^Suites:/ && $i ~ /security/) security = 1
           }
           if (uris != "" && !security) print uris
         }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '$1 == "deb" && $0 !~ /security/ && $0 ~ /debian/ {
           for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; break }
         }' "$f"
  done
}

codename() {
  . /etc/os-release
  echo "${VERSION_CODENAME:-bookworm}"
}

ensure_source_entry() {
  local list=/etc/apt/sources.list.d/virlex-deb-src.sources
  if apt-get source --print-uris libpng1.6 >/dev/null 2>&1; then
    return 0
  fi
  local uris
  uris="$(main_archive_uris | tr ' ' '\n' | grep -v '^$' | sort -u | tr '\n' ' ' || true)"
  if [ -z "$uris" ]; then
    echo "no Debian main archive found in the apt sources" >&2
    exit 1
  fi
  local suite
  suite="$(codename)"
  echo "adding deb-src entries for ${uris}(${suite} ${suite}-updates)"
  $SUDO tee "$list" >/dev/null <<EOF
Types: deb-src
URIs: ${uris}
Suites: ${suite} ${suite}-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  $SUDO apt-get update -q
}

ensure_source_entry

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
# Unpacks the upstream tarball with Debian's patches applied.
apt-get source -q libpng1.6
src="$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)"
if [ -z "$src" ]; then
  echo "apt-get source gave no libpng1.6 tree" >&2
  exit 1
fi
cd "$src"

# SSE2 is the floor of both DLLs; the 32-bit one must ask for SSE arithmetic.
cflags="-O2 -msse2"
if [ "$TARGET" = i686 ]; then cflags+=" -mfpmath=sse"; fi
# Static only, so the plug-in DLL needs no libpng DLL beside it. The mingw
# sysroot supplies zlib.h and libz.a.
./configure --host="${HOST}" --prefix="${PREFIX}" \
  --enable-static --disable-shared --disable-dependency-tracking \
  CPPFLAGS="-I${SYSROOT}/include" LDFLAGS="-L${SYSROOT}/lib" \
  CFLAGS="$cflags"
make -j2
$SUDO make install
echo "libpng for ${HOST} installed in ${PREFIX}"
