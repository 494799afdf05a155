#!/usr/bin/env bash
# The Virlex.lv2 bundle as LV2 tools read it: both Turtle files parse (serdi), lilv finds
# the plug-in (lv2ls), and lv2info lists every port, each control port with its range.
# Usage: check_bundle.sh BUNDLE_DIR
# Exit status: 0 pass, 1 fail (the reason is printed), 77 skipped (a tool is missing).
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }

bundle="${1:?usage: check_bundle.sh BUNDLE_DIR}"
readonly URI="urn:orbek:virlex"
for tool in serdi lv2ls lv2info; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (Debian packages serdi, lilv-utils)"
done
for ttl in manifest.ttl Virlex.ttl; do
  [[ -f "$bundle/$ttl" ]] || fail "the bundle has no $ttl"
  serdi -l -q "$bundle/$ttl" >/dev/null || fail "serdi cannot parse $ttl"
done

# Only this bundle (and the LV2 specifications lilv reads classes from) on the path.
work="$(mktemp -d)"; trap 'rm -rf "$work"' EXIT
ln -s "$(cd "$bundle" && pwd)" "$work/Virlex.lv2"
export LV2_PATH="$work:/usr/lib/lv2"
lv2ls | grep -qx "$URI" || fail "lv2ls does not list $URI"
info="$(lv2info "$URI" 2>&1)" || fail "lv2info failed: $info"
echo "$info" | head -n 14

ports=$(grep -c '^	Port [0-9]*:' <<<"$info")
[[ "$ports" -eq 22 ]] || fail "lv2info lists $ports ports, expected 4 + 2 audio and 16 control ports"
# Every control port states minimum, maximum and default.
for field in Minimum Maximum Default; do
  n=$(grep -c "^		$field:" <<<"$info")
  [[ "$n" -eq 16 ]] || fail "$n control ports state a $field, expected 16"
done
# A few ranges in real units, as the parameters define them.
port_block() { awk -v s="$1" '/^	Port /{b=""} {b=b $0 "\n"} $0 ~ "Symbol: *"s"$" {f=1} f && /^$/ {print b; exit}' <<<"$info"; }
check_port() {  # symbol, then lines that must appear in its block
  local symbol="$1"; shift
  local block; block="$(port_block "$symbol")"
  [[ -n "$block" ]] || fail "lv2info lists no port '$symbol'"
  for line in "$@"; do
    grep -qF -- "$line" <<<"$block" || fail "port '$symbol' lacks '$line'"
  done
}
check_port hold "Minimum:     -30.000000" "Maximum:     3.000000" "Default:     3.000000"
check_port delay_1 "Maximum:     500.000000" "Default:     0.000000"
check_port fft_size "Default:     4.000000" '6 = "16384"' "lv2core#enumeration"
check_port input_1 "Default:     1.000000" "lv2core#toggled"
check_port in_4 "lv2core#connectionOptional"
echo "PASS: the bundle parses, lilv lists $URI with 22 ports and every control port's range"
