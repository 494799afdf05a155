#!/usr/bin/env bash
# Real-host test of the LV2 bundle: Ardour's headless session runner loads Virlex as an LV2
# plug-in (ARDOUR.PluginType.LV2), sets control ports, renders, and saves the session; a
# second run loads that session, renders again and saves it again. Both renders must equal
# the signal, and the plug-in's state in the session file (the program chunk, in Ardour's
# state folder) must hold the values set, after the first save and after the reload.
#
# Usage: run_lv2.sh BUNDLE_DIR
# Exit status: 0 pass, 1 fail (the reason is printed), 77 skipped (Ardour's tools missing, or
# a sanitizer build, which ardour7-lua cannot load).
# VIRLEX_KEEP_TEMP=1 keeps the temporary folder for a look after a failure.

set -u

readonly HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$HERE/common.sh"

# Port values in real units, by parameter index; Ardour reads back its own copy of a port.
# Each is chosen away from its default, and the state checks below expect exactly these.
readonly CHECKS=(
  set:5:45:45        # delay 1, ms
  set:9:-13.5:-13.5  # hold, dB
  set:10:2:2         # fft size: the third choice, 1024
  set:15:0.25:0.25   # Y zoom
  set:2:0:0          # input 2 off: the plug-in still passes channel 2 through
  set:0:1:1          # domain: freq
)
# After the reload the ports read back as saved, and one more change makes Ardour save a
# new state: everything else in it comes from the reloaded plug-in.
readonly RELOAD_CHECKS=(get:5:45 get:9:-13.5 get:10:2 get:2:0 get:0:1 set:15:0.5:0.5)

bundle="${1:-}"
[[ -d "$bundle" && -f "$bundle/manifest.ttl" ]] || fail "usage: run_lv2.sh BUNDLE_DIR (an LV2 bundle)"
ardour_find_runner
if ldd "$bundle/Virlex.so" 2>/dev/null | grep -q libasan; then
  skip "the bundle is built with AddressSanitizer, which ardour7-lua cannot load"
fi

ardour_private_home
# Only the private LV2 folder is searched: Ardour reads LV2_PATH when it starts.
export LV2_PATH="$work/lv2"
mkdir -p "$LV2_PATH"
ln -s "$(cd "$bundle" && pwd)" "$LV2_PATH/Virlex.lv2"

ardour_prepare_session
ardour_write_export_preset

# render.lua with the LV2 plug-in, saving the session after its render.
#
# ardour7-lua 7.3 dies now and then (SIGSEGV or SIGABRT, heap corruption reported by glibc)
# during an LV2 session's export, save or exit: Ardour's own LV2 plug-ins (ACE EQ) die the same
# way at the same rate (2 of 8 runs here, against 1 of 8 with Virlex), the VST 2 runs never.
# A run that died by a signal without its verdict is therefore tried again from the session
# as it was, up to three times, and each retry is reported.
export VIRLEX_PLUGIN_TYPE=LV2 VIRLEX_SAVE_AFTER=1
render_and_save() {  # log name, checks...
  local name="$1"; shift
  rm -rf "$work/session.before"
  cp -a "$session_dir" "$work/session.before" || fail "cannot keep a copy of the session"
  local attempt status
  for attempt in 1 2 3; do
    rm -f "$work"/render/*.wav
    (cd "$work" && timeout "$TOOL_TIMEOUT" "$lua_runner" "$HERE/render.lua" "$session_dir" virlex \
      Virlex "$work/render" "$FRAMES" "$@") >"$work/$name.log" 2>&1
    status=$?
    grep -q '^RENDER-OK$' "$work/$name.log" || grep -q '^FAIL: ' "$work/$name.log" && break
    [[ $status -gt 128 && $status -ne 137 ]] || break
    echo "note: ardour7-lua died with status $status before its verdict (attempt $attempt); again"
    rm -rf "$session_dir" && cp -a "$work/session.before" "$session_dir"
  done
  grep -v -e '^\[WARNING\]: Falling back' -e '^FAIL: ' "$work/$name.log"
  grep -q '^FAIL: ' "$work/$name.log" && fail "render.lua: $(grep '^FAIL: ' "$work/$name.log" | head -n 1 | cut -c7-)"
  grep -q '^RENDER-OK$' "$work/$name.log" || fail "render.lua did not finish (exit status $status)"
  grep -q "^plugin: name='Virlex'" "$work/$name.log" || fail "the render log does not show Virlex in the chain"
  grep -q "^session: saved" "$work/$name.log" || fail "the session was not saved"
  ardour_compare_render
}

# The newest state Ardour wrote for the plug-in (its path in $state), checked for values.
check_state() {  # INDEX=VALUE...
  state="$(ls -td "$session_dir"/plugins/*/state*/ 2>/dev/null | head -n 1)state.ttl"
  [[ -f "$state" ]] || fail "the session holds no LV2 state for the plug-in ($session_dir/plugins)"
  echo "state: $state"
  python3 "$HERE/lv2_state.py" "$state" "urn:orbek:virlex#program" "$@" \
    || fail "the plug-in's state in the session does not hold the values set"
}

step "insert Virlex (LV2) on the track, set ports, render, save"
render_and_save first "${CHECKS[@]}"
check_state 0=1 2=0 5=45 9=-13.5 10=2 15=0.25
first_state="$state"

step "load the saved session, render, save again"
export VIRLEX_PLUGIN_ON_TRACK=1
render_and_save reload "${RELOAD_CHECKS[@]}"
check_state 0=1 2=0 5=45 9=-13.5 10=2 15=0.5
[[ "$state" != "$first_state" ]] || fail "Ardour saved no new state after the reload and a change"
echo "PASS: Ardour loaded the LV2 plug-in, rendered through it unchanged, and kept its state through a save and a reload"
