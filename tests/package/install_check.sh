#!/usr/bin/env bash
# The installed layout, as a user gets it from `cmake --install`:
#   - the plug-in, its manual beside it, the tools and their man pages where they belong;
#   - the manual is a real PDF with its pictures and every parameter name the plug-in reports;
#   - the address the installed plug-in gives its logo link (its own folder, as its platform
#     layer works it out, read from the trace) is where the manual lies, for an install under
#     a prefix, a user install by copying into a folder of one's own, and one by a link.
# Usage: install_check.sh BUILD_DIR
# Exit status: 0 pass, 1 fail, 77 skipped (the manual was not built: pandoc or weasyprint missing).
set -u

build="${1:?usage: install_check.sh BUILD_DIR}"
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
step() { echo "== $*"; }

[[ -f "$build/Virlex_manual.pdf" ]] || skip "no manual in $build (pandoc and weasyprint are needed to build it)"
for tool in pdftotext pdfinfo pdfimages; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (Debian package 'poppler-utils')"
done

work="$(mktemp -d "${TMPDIR:-/tmp}/virlex-install.XXXXXX")" || fail "cannot make a temporary folder"
trap 'rm -rf "$work"' EXIT
prefix="$work/usr"

step "cmake --install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install failed"; }
for f in lib/vst/Virlex.so lib/vst/Virlex_manual.pdf bin/vsthost bin/virlex-render \
         lib/lv2/Virlex.lv2/Virlex.so lib/lv2/Virlex.lv2/manifest.ttl \
         lib/lv2/Virlex.lv2/Virlex.ttl lib/lv2/Virlex.lv2/Virlex_manual.pdf \
         share/man/man1/vsthost.1.gz share/man/man1/virlex-render.1.gz \
         share/doc/virlex/copyright share/doc/virlex/changelog.gz; do
  [[ -f "$prefix/$f" ]] || fail "the install has no $f"
done
[[ -x "$prefix/bin/vsthost" && -x "$prefix/bin/virlex-render" ]] || fail "the tools are not executable"
# Nothing of the Windows zip's leaks into a Linux install.
[[ -z "$(find "$prefix" -iname '*.dll' -o -name INSTALL.txt)" ]] || fail "Windows files in a Linux install"

if command -v lv2info >/dev/null; then
  step "lilv finds the installed LV2 bundle"
  LV2_PATH="$prefix/lib/lv2" lv2info urn:orbek:virlex | grep -q "Binary:.*/lib/lv2/Virlex.lv2/Virlex.so" \
    || fail "lv2info does not find the installed LV2 plug-in"
fi

step "the installed tools run and have man pages"
"$prefix/bin/vsthost" --help >/dev/null 2>&1 || fail "the installed vsthost does not run"
"$prefix/bin/virlex-render" --help | grep -q -- "--video" || fail "the installed virlex-render does not run"
for tool in vsthost virlex-render; do
  page="$(gzip -dc "$prefix/share/man/man1/$tool.1.gz")" || fail "$tool.1.gz is not a gzip file"
  grep -qi "^\.TH \"\?$tool" <<<"$page" || fail "$tool.1 has no title line"
  grep -qF -- '\-\-param' <<<"$page" || fail "$tool.1 does not list the options of --help"
done

step "the manual: pages, pictures, every parameter name"
manual="$prefix/lib/vst/Virlex_manual.pdf"
pages="$(pdfinfo "$manual" | awk '/^Pages:/ { print $2 }')"
[[ "${pages:-0}" -ge 5 ]] || fail "the manual has ${pages:-no} pages"
images="$(pdfimages -list "$manual" | awk 'NR > 2' | wc -l)"
[[ "$images" -ge 4 ]] || fail "the manual holds $images pictures, expected the 4 editor renders"
# Words broken over lines or table cells come back together once all space is one space.
text="$(pdftotext "$manual" - | tr -s '[:space:]' ' ')"
info="$("$prefix/bin/vsthost" info "$prefix/lib/vst/Virlex.so")" || fail "vsthost info on the installed module failed"
names=()
while IFS= read -r name; do names+=("$name"); done < <(sed -n "s/^param [0-9]*: \(.*\) = .* \[.*\] '.*'$/\1/p" <<<"$info")
[[ ${#names[@]} -eq 16 ]] || fail "vsthost info listed ${#names[@]} parameters, expected 16"
for name in "${names[@]}"; do
  grep -qF " $name " <<<" $text " || fail "the manual does not name the parameter '$name'"
done
echo "all ${#names[@]} parameter names found in $pages pages with $images pictures"

# The logo's address, as the plug-in in MODULE works it out when its editor is built.
link_of() {
  VIRLEX_TRACE=1 "$prefix/bin/vsthost" info "$1" 2>&1 >/dev/null \
    | sed -n "s/^virlex: ILinkWidget::ILinkWidget:[0-9]*: url '\(.*\)'$/\1/p" | head -n 1
}
expect_link() {  # module, folder where the manual must be found
  local url
  url="$(link_of "$1")"
  [[ -n "$url" ]] || fail "no link address traced for $1"
  [[ "$url" == "$2/Virlex_manual.pdf" ]] || fail "the logo of $1 leads to '$url', not to $2/Virlex_manual.pdf"
  [[ "$(head -c 5 "$url")" == "%PDF-" ]] || fail "the logo of $1 leads to '$url', which is not the manual"
  echo "logo of $1 -> $url"
}

step "the logo link of the installed plug-in"
expect_link "$prefix/lib/vst/Virlex.so" "$(realpath "$prefix/lib/vst")"

step "a user install: both files copied into a folder of one's own"
mkdir -p "$work/home/.vst"
cp "$prefix/lib/vst/Virlex.so" "$prefix/lib/vst/Virlex_manual.pdf" "$work/home/.vst/"
expect_link "$work/home/.vst/Virlex.so" "$(realpath "$work/home/.vst")"

step "a user install by a link to the installed plug-in"
mkdir -p "$work/home/.lxvst"
ln -s "$prefix/lib/vst/Virlex.so" "$work/home/.lxvst/Virlex.so"
expect_link "$work/home/.lxvst/Virlex.so" "$(realpath "$prefix/lib/vst")"

echo "PASS: install layout, manual and logo link"
