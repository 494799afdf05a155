#!/usr/bin/env bash
# The editor as an LV2 UI in a real host: under a private Xvfb, with a JACK server on its
# dummy driver, jalv (GTK) runs the plug-in from the bundle and opens its X11 UI inside its
# own window; a click track from jack_metro plays into inputs 1 and 2. The editor must be a
# 724 x 526 child inside jalv's window, and two pictures of it a moment apart must differ:
# the traces move.
#
# Usage: jalv_ui_check.sh BUNDLE_DIR [OUT.png]
#   OUT.png receives jalv's window with the editor in it.
# Exit status: 0 pass, 1 fail (the reason is printed), 77 skipped (a tool is missing, or a
# sanitizer build, which jalv cannot load).
# VIRLEX_KEEP_TEMP=1 keeps the temporary folder (logs, pictures) for a look.

set -u

readonly URI="urn:orbek:virlex" RATE=48000
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
step() { echo "== $*"; }

bundle="${1:-}"
out="${2:-}"
[[ -d "$bundle" && -f "$bundle/manifest.ttl" ]] || fail "usage: jalv_ui_check.sh BUNDLE_DIR [OUT.png]"
for tool in jalv.gtk3 Xvfb jackd jack_metro jack_connect jack_lsp xdotool xwininfo import compare; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (Debian packages jalv, xvfb, jackd2, xdotool, x11-utils, imagemagick)"
done
if ldd "$bundle/Virlex.so" 2>/dev/null | grep -q libasan; then
  skip "the bundle is built with AddressSanitizer, which jalv cannot load"
fi
grep -q "X11UI" "$bundle/manifest.ttl" \
  || skip "the bundle declares no X11 UI: it was built without the X11 editor window"

pids=()
# Starts a command in a process group of its own, so cleanup ends it with its children.
start() { setsid "$@" & pids+=($!); }
# shellcheck source=../jack_server.sh
source "$(dirname "${BASH_SOURCE[0]}")/../jack_server.sh"
jack_private_shm "$0" "$@"

work="$(mktemp -d "${TMPDIR:-/tmp}/virlex-jalv.XXXXXX")" || fail "cannot make a temporary folder"
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -- "-${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  if [[ -n "${VIRLEX_KEEP_TEMP:-}" ]]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# A private HOME keeps GTK's and jalv's settings away from the user's; only this bundle
# (and the LV2 specifications) on the plug-in path.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
mkdir -p "$HOME" "$work/lv2"
ln -s "$(cd "$bundle" && pwd)" "$work/lv2/Virlex.lv2"
export LV2_PATH="$work/lv2:/usr/lib/lv2"

step "start Xvfb and a JACK server on its dummy driver"
start Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log"
for _ in $(seq 300); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
jack_start_dummy "virlex-jalv-$$" "$RATE" 512 "$work/jack.log"

step "run the plug-in in jalv with its own UI"
start jalv.gtk3 --jack-name virlex "$URI" >"$work/jalv.log" 2>&1
for _ in $(seq 300); do jack_lsp 2>/dev/null | grep -q '^virlex:in_1$' && break; sleep 0.2; done
jack_lsp 2>/dev/null | grep -q '^virlex:in_1$' || { cat "$work/jalv.log"; fail "jalv did not start the plug-in"; }
start jack_metro --bpm 480 --frequency 330 --amplitude 0.8 --name metro >"$work/metro.log" 2>&1
for _ in $(seq 150); do jack_lsp 2>/dev/null | grep -q '^metro:' && break; sleep 0.2; done
metro_port="$(jack_lsp 2>/dev/null | grep '^metro:' | head -n 1)"
[[ -n "$metro_port" ]] || fail "jack_metro did not start (see $work/metro.log)"
jack_connect "$metro_port" virlex:in_1 || fail "cannot connect $metro_port to the plug-in"
jack_connect "$metro_port" virlex:in_2 || fail "cannot connect $metro_port to the plug-in"

step "find the editor inside jalv's window"
window=""
for _ in $(seq 300); do
  window="$(xdotool search --onlyvisible --name 'Virlex' 2>/dev/null | head -n 1)"
  [[ -n "$window" ]] && break
  sleep 0.2
done
[[ -n "$window" ]] || { import -window root "$work/screen.png"; cat "$work/jalv.log"; fail "jalv showed no window"; }
echo "jalv window: $(xdotool getwindowname "$window")"
# The editor is the deepest window of its size below jalv's top-level window (GTK's socket
# that holds it has the same size), and it is not jalv's own: the editor makes its windows
# on an X connection of its own, whose window ids have another client base.
editor=""
for _ in $(seq 150); do
  editor="$(xwininfo -tree -id "$window" 2>/dev/null | awk '/ 724x526\+/ { id = $1 } END { print id }')"
  [[ -n "$editor" ]] && (( (editor & ~0x1FFFFF) != (window & ~0x1FFFFF) )) && break
  editor=""
  sleep 0.2
done
[[ -n "$editor" ]] || { xwininfo -tree -id "$window" >"$work/tree.txt"; fail "no 724 x 526 editor window of the plug-in's inside jalv's window (see tree.txt)"; }
echo "editor window: $editor inside jalv's window $(printf 0x%x "$window")"

step "watch the traces move"
# Pairs of pictures until one shows a drawn editor whose traces moved: a busy machine can
# delay the first frames and the first clicks of the metronome.
colours=0 changed=0
for _ in $(seq 15); do
  sleep 1
  import -window "$editor" -depth 8 "$work/editor-1.png" 2>/dev/null || fail "cannot capture the editor"
  sleep 0.7
  import -window "$editor" -depth 8 "$work/editor-2.png" 2>/dev/null || fail "cannot capture the editor"
  colours="$(convert "$work/editor-2.png" -format %k info:)"
  changed="$(compare -metric AE "$work/editor-1.png" "$work/editor-2.png" null: 2>&1)"
  [[ "$colours" -gt 100 && "$changed" =~ ^[0-9]+$ && "$changed" -gt 1000 ]] && break
done
echo "colours in the editor's picture: $colours"
[[ "$colours" -gt 100 ]] || fail "the editor's picture holds only $colours colours: it was not drawn"
echo "pixels changed between two pictures 0.7 s apart: $changed"
[[ "$changed" =~ ^[0-9]+$ && "$changed" -gt 1000 ]] || fail "the editor's traces do not move"
if [[ -n "$out" ]]; then
  import -window "$window" -depth 8 "$out" 2>/dev/null || fail "cannot write $out"
fi
echo "PASS: jalv opened the editor inside its window and its traces moved with the audio"
