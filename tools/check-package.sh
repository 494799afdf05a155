#!/usr/bin/env bash
# Installs the Debian package on a fresh Debian 12 as a user does, and checks it works there:
#   1. a minimal bookworm system made with debootstrap, in a chroot;
#   2. `apt install ./virlex_<version>_amd64.deb` in it (apt fetches what Depends names);
#   3. vsthost info on /usr/lib/vst/Virlex.so, the manual beside it, and the logo's address;
#   4. Ardour from Debian installed there, its scanner run on /usr/lib/vst/Virlex.so, and the
#      headless Ardour test (tests/host/ardour/run.sh) against the installed copy, with Ardour
#      searching its own default plug-in folders.
# Needs root and Debian's package mirror; takes about ten minutes. Not part of the test
# command. Usage: tools/check-package.sh [PACKAGE.deb]   (default: the one tools/package.sh made)
# VIRLEX_KEEP_CHROOT=1 keeps the chroot for a look afterwards.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

deb="${1:-}"
if [[ -z "$deb" ]]; then
  shopt -s nullglob
  debs=("$root"/build/release/packages/virlex_*_amd64.deb)
  [[ ${#debs[@]} -eq 1 ]] || fail "give the package, or make one with tools/package.sh"
  deb="${debs[0]}"
fi
[[ -f "$deb" ]] || fail "no package at $deb"
[[ "$(id -u)" == 0 ]] || fail "debootstrap and chroot need root"

export DEBIAN_FRONTEND=noninteractive
if ! command -v debootstrap >/dev/null; then
  apt-get -o DPkg::Lock::Timeout=1200 install -y -q --no-install-recommends debootstrap
fi
mirror="${VIRLEX_DEBIAN_MIRROR:-$(sed -n 's/^URIs: *\(.*\/debian\)$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)}"
mirror="${mirror:-http://deb.debian.org/debian}"

target="$(mktemp -d "${TMPDIR:-/var/tmp}/virlex-bookworm.XXXXXX")"
# The root of a system is open to all; apt downloads as its own user.
chmod 755 "$target"
mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  if [[ -n "${VIRLEX_KEEP_CHROOT:-}" ]]; then echo "kept $target"; else rm -rf --one-file-system "$target"; fi
}
trap cleanup EXIT
in_chroot() { chroot "$target" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

step "debootstrap bookworm (minbase) from $mirror into $target"
debootstrap --variant=minbase bookworm "$target" "$mirror" >"$target.debootstrap.log" 2>&1 \
  || { tail -n 30 "$target.debootstrap.log"; fail "debootstrap failed"; }
rm -f "$target.debootstrap.log"
for fs in proc sys dev dev/pts; do
  mount --bind "/$fs" "$target/$fs"
  mounted+=("$target/$fs")
done
cp /etc/resolv.conf "$target/etc/resolv.conf"
in_chroot dpkg -l | grep -q '^ii  virlex ' && fail "the fresh system already has virlex"

step "apt install ./$(basename "$deb")"
cp "$deb" "$target/tmp/"
in_chroot apt-get update -q
in_chroot sh -c "cd /tmp && apt install -y -q ./$(basename "$deb")" \
  || fail "apt install of the package failed"
in_chroot dpkg -s virlex | sed -n 's/^\(Version\|Depends\): /  \1: /p'

step "the installed plug-in"
in_chroot test -f /usr/lib/vst/Virlex_manual.pdf || fail "no manual beside the plug-in"
in_chroot vsthost info /usr/lib/vst/Virlex.so | head -n 8
url="$(in_chroot env VIRLEX_TRACE=1 vsthost info /usr/lib/vst/Virlex.so 2>&1 >/dev/null \
  | sed -n "s/^virlex: ILinkWidget::ILinkWidget:[0-9]*: url '\(.*\)'$/\1/p" | head -n 1)"
[[ "$url" == /usr/lib/vst/Virlex_manual.pdf ]] || fail "the logo leads to '$url'"
echo "logo -> $url"
in_chroot vsthost process /usr/lib/vst/Virlex.so --expect-passthrough | tail -n 1

step "Ardour from Debian, against the installed copy"
in_chroot apt-get install -y -q --no-install-recommends ardour python3 >/dev/null \
  || fail "cannot install Ardour in the chroot"
mkdir -p "$target/tmp/ardour-test"
cp "$root"/tests/host/ardour/* "$target/tmp/ardour-test/"
in_chroot env VIRLEX_ARDOUR_INSTALLED=1 bash /tmp/ardour-test/run.sh /usr/lib/vst/Virlex.so \
  || fail "the Ardour test failed against the installed plug-in"

step "remove it again"
in_chroot apt-get remove -y -q virlex >/dev/null
in_chroot test ! -e /usr/lib/vst/Virlex.so || fail "apt remove left /usr/lib/vst/Virlex.so behind"
echo "PASS: $(basename "$deb") installs on a fresh Debian 12 and Ardour loads it from /usr/lib/vst"
