#!/usr/bin/env bash
# The Debian package as cpack makes it from this build:
#   - named virlex_<version>_amd64.deb, with the files of the install layout under /usr;
#   - dependencies computed from the binaries (the libraries they link) plus the font;
#   - clean under lintian apart from the overrides it carries (with their reasons);
#   - the unpacked plug-in loads and its logo leads to the manual beside it.
# Usage: deb_check.sh BUILD_DIR
# Exit status: 0 pass, 1 fail, 77 skipped (no manual in the build, or dpkg tools missing).
set -u

build="${1:?usage: deb_check.sh BUILD_DIR}"
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
step() { echo "== $*"; }

[[ -f "$build/Virlex_manual.pdf" ]] || skip "no manual in $build (pandoc and weasyprint are needed to build it)"
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work="$(mktemp -d "${TMPDIR:-/tmp}/virlex-deb.XXXXXX")" || fail "cannot make a temporary folder"
trap 'rm -rf "$work"' EXIT

step "cpack -G DEB"
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
[[ -n "$version" ]] || fail "no package version in $build/CPackConfig.cmake"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/cpack" -D CPACK_OUTPUT_FILE_PREFIX="$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
deb="$work/out/virlex_${version}_amd64.deb"
[[ -f "$deb" ]] || { ls -l "$work/out"; fail "cpack made no $(basename "$deb")"; }
echo "made $(basename "$deb"), $(stat -c %s "$deb") bytes"

step "control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == virlex ]] || fail "Package is '$(field Package)'"
[[ "$(field Version)" == "$version" ]] || fail "Version is '$(field Version)'"
[[ "$(field Architecture)" == amd64 ]] || fail "Architecture is '$(field Architecture)'"
depends="$(field Depends)"
echo "Depends: $depends"
# What the binaries link, as dpkg-shlibdeps names it, and what they cannot say themselves.
depend_names="$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')"
for need in libc6 libstdc++6 libgcc-s1 libpng16-16 libfreetype6 libfontconfig1 libsndfile1 fonts-liberation2; do
  grep -qxF "$need" <<<"$depend_names" || fail "Depends lacks $need"
done
grep -qE 'libc6 \(>= [0-9]' <<<"$depends" || fail "Depends carries no computed version for libc6"
[[ "$(field Section)" == sound ]] || fail "Section is '$(field Section)'"

step "contents"
dpkg-deb -c "$deb" >"$work/contents"
for f in ./usr/lib/vst/Virlex.so ./usr/lib/vst/Virlex_manual.pdf ./usr/bin/vsthost \
         ./usr/lib/lv2/Virlex.lv2/Virlex.so ./usr/lib/lv2/Virlex.lv2/manifest.ttl \
         ./usr/lib/lv2/Virlex.lv2/Virlex.ttl ./usr/lib/lv2/Virlex.lv2/Virlex_manual.pdf \
         ./usr/bin/virlex-render ./usr/share/man/man1/vsthost.1.gz \
         ./usr/share/man/man1/virlex-render.1.gz ./usr/share/doc/virlex/copyright \
         ./usr/share/doc/virlex/changelog.gz; do
  grep -qE " $f\$" "$work/contents" || fail "the package has no $f"
done
grep -vqE ' root/root ' "$work/contents" && fail "files in the package are not owned by root"
grep -qiE '\.dll$|INSTALL\.txt$' "$work/contents" && fail "Windows files in the Debian package"

step "the unpacked plug-in"
dpkg-deb -x "$deb" "$work/root"
root="$work/root/usr"
file -b "$root/lib/vst/Virlex.so" | grep -q "not stripped" && fail "Virlex.so is not stripped"
file -b "$root/lib/lv2/Virlex.lv2/Virlex.so" | grep -q "not stripped" && fail "the LV2 Virlex.so is not stripped"
"$root/bin/vsthost" info "$root/lib/vst/Virlex.so" >"$work/info" 2>&1 || { cat "$work/info"; fail "vsthost info on the packaged plug-in failed"; }
grep -q '^name: Virlex$' "$work/info" || fail "the packaged plug-in does not call itself Virlex"
url="$(VIRLEX_TRACE=1 "$root/bin/vsthost" info "$root/lib/vst/Virlex.so" 2>&1 >/dev/null \
  | sed -n "s/^virlex: ILinkWidget::ILinkWidget:[0-9]*: url '\(.*\)'$/\1/p" | head -n 1)"
[[ "$url" == "$(realpath "$root/lib/vst")/Virlex_manual.pdf" && -f "$url" ]] \
  || fail "the packaged plug-in's logo leads to '$url'"

step "lintian"
if command -v lintian >/dev/null; then
  # Errors and warnings fail; the package's own overrides (each with its reason) apply.
  lintian --fail-on error,warning --display-info "$deb" | tee "$work/lintian.log"
  status=${PIPESTATUS[0]}
  [[ $status -eq 0 ]] || fail "lintian reports errors or warnings (exit status $status)"
else
  echo "note: lintian is not installed; the package was not linted"
fi
echo "PASS: $(basename "$deb")"
