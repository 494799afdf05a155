#!/usr/bin/env bash
# Audio through the LV2 plug-in with lilv's lv2apply: a four-channel file comes out as
# its first two channels, sample for sample; a mono file (lv2apply feeds it to every
# input) comes out on both outputs; control ports set on the command line change nothing
# in the audio.
# Usage: lv2apply_check.sh BUNDLE_DIR
# Exit status: 0 pass, 1 fail, 77 skipped (lv2apply or python3 missing).
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }

bundle="${1:?usage: lv2apply_check.sh BUNDLE_DIR}"
readonly URI="urn:orbek:virlex" HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
command -v lv2apply >/dev/null || skip "lv2apply is not installed (Debian package lilv-utils)"
command -v python3 >/dev/null || skip "python3 is not installed"

work="$(mktemp -d)"; trap 'rm -rf "$work"' EXIT
mkdir "$work/lv2"
ln -s "$(cd "$bundle" && pwd)" "$work/lv2/Virlex.lv2"
export LV2_PATH="$work/lv2:/usr/lib/lv2"
wav() { python3 "$HERE/wav_tool.py" "$@" || fail "wav_tool.py $1 failed"; }
wav write4 "$work" 48000 48000

lv2apply -i "$work/in-4.wav" -o "$work/out-4.wav" "$URI" || fail "lv2apply failed on the four-channel file"
wav same "$work/in-4.wav" "$work/out-4.wav" 1 2

lv2apply -i "$work/in-L.wav" -o "$work/out-mono.wav" "$URI" || fail "lv2apply failed on the mono file"
wav same "$work/in-L.wav" "$work/out-mono.wav" 1 1

lv2apply -i "$work/in-4.wav" -o "$work/out-set.wav" -c hold -12 -c domain 1 -c fft_size 6 \
  -c delay_2 250 -c input_3 1 "$URI" || fail "lv2apply failed with control values"
wav same "$work/in-4.wav" "$work/out-set.wav" 1 2
echo "PASS: lv2apply passes audio through the LV2 plug-in unchanged"
