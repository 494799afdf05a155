#!/usr/bin/env bash
# Real-host test: Ardour's headless tools scan the plug-in, put it on a track, set and read
# back parameters, and render a known signal through it; the render must equal the signal.
#
# Usage: run.sh MODULE.so [PLUGIN_NAME [CHECK...]]
#   Without PLUGIN_NAME the module is Virlex and the checks below are used. With another
#   plug-in (any VST 2 that passes audio unchanged) the CHECKs given are used instead; see
#   render.lua for their form.
# Exit status: 0 pass, 1 fail (the reason is printed), 77 skipped (Ardour's tools missing).
# VIRLEX_KEEP_TEMP=1 keeps the temporary folder for a look after a failure.
# VIRLEX_ARDOUR_INSTALLED=1 tests an installed module where it lies (e.g. /usr/lib/vst): it is
# not copied, and Ardour searches its own default plug-in folders instead of a private one.

set -u

readonly HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$HERE/common.sh"

# The plug-in's parameters as the host sees them (normalised 0..1). The set values are
# chosen so that the read-back differs from what was sent wherever the plug-in itself
# adjusts a value, which shows that the answer comes from the plug-in and not from Ardour.
# The domain comes last: switching it makes the plug-in's display swap in that domain's
# zoom values (parameters 13 to 15), so the zoom checks run before it, from the defaults.
readonly VIRLEX_CHECKS=(
  name:0:domain name:1:"input 1" name:5:"delay 1" name:9:hold name:10:"fft size"
  name:13:"X zoom low" name:14:"X zoom high" name:15:"Y zoom"
  set:5:0.3:0.3            # delay 1: curve 2, 0.3 is 45 ms and maps back to 0.3
  set:9:0.5:0.5            # hold: -13.5 dB
  set:10:0.4:0.333333      # fft size: 7 choices, 0.4 snaps to choice 2 (1024), i.e. 2/6
  set:14:0.3:0.501         # X zoom high below low (default 0.5) is held 0.001 above it
  set:13:0.8:0.5           # X zoom low above high (now 0.501) is held 0.001 below it
  set:15:0.25:0.25         # Y zoom
  set:2:0:0                # input 2 off: the plug-in still passes channel 2 through
  set:0:0.5:0.5            # domain: 3 choices, 0.5 is "freq"
)

module="${1:-}"
[[ -n "$module" ]] || fail "usage: run.sh MODULE.so [PLUGIN_NAME [CHECK...]]"
[[ -f "$module" ]] || fail "no plug-in module at $module"
if [[ $# -ge 2 ]]; then
  plugin_name="$2"; checks=("${@:3}")
else
  plugin_name="Virlex"; checks=("${VIRLEX_CHECKS[@]}")
fi

# Debian's ardour package puts the scanner in Ardour's library folder; it can be overridden,
# e.g. to point at another Ardour 7 installation.
ardour_find_runner
scanner="${VIRLEX_ARDOUR_SCANNER:-/usr/lib/ardour7/ardour-vst-scanner}"
[[ -x "$scanner" ]] || skip "ardour-vst-scanner is not installed (Debian package 'ardour')"

# A module built with AddressSanitizer loads only into a process whose first library is the
# sanitizer runtime; Ardour's tools are not built that way, so the runtime is preloaded into
# the scanner. Ardour itself leaks at exit, so leak reports are off. The scanner then opens,
# queries and closes the plug-in under the sanitizer, but ardour7-lua with the runtime
# preloaded deadlocks in ARDOUR::init (bindtextdomain waits on glibc's locale lock) before
# any plug-in is loaded, so a sanitizer build stops after the scan and reports a skip.
ardour_env=()
asan_runtime="$(ldd "$module" 2>/dev/null | awk '/libasan\.so/ { print $3; exit }')"
if [[ -n "$asan_runtime" ]]; then
  ardour_env=(LD_PRELOAD="$asan_runtime" ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}")
  echo "note: the module uses AddressSanitizer; preloading $asan_runtime into the scanner"
fi

ardour_private_home
# Only the private plug-in folder is searched, or for an installed module Ardour's defaults.
if [[ -n "${VIRLEX_ARDOUR_INSTALLED:-}" ]]; then
  unset LXVST_PATH
else
  export LXVST_PATH="$work/vst"
fi
unset VST_PATH
mkdir -p "$work/vst"

if [[ -n "${VIRLEX_ARDOUR_INSTALLED:-}" ]]; then
  step "use the installed module where it is"
  plugin="$(realpath "$module")"
  # An install seconds before the scan meets the cache-time trap described below.
  [[ "$(stat -c %Y "$plugin")" -lt "$(date +%s)" ]] || sleep 1
else
  step "copy the module into a private plug-in folder"
  plugin="$LXVST_PATH/$(basename "$module")"
  cp "$module" "$plugin" || fail "cannot copy $module"
  # The scanner stamps its cache file with the second of the scan, and Ardour trusts a cache
  # only when it is strictly newer than the module: a module written in the same second as the
  # scan counts as never scanned, and the Lua runner cannot find the plug-in (nothing says
  # why). Backdating the copy avoids that.
  touch -d '-1 minute' "$plugin" || fail "cannot set the module's time"
fi

step "scan it with $scanner"
# The scanner is not on the loader's path on its own; Ardour's launcher script adds its
# library folder, so this does the same.
scan_log="$work/scan.log"
find_cache() {
  grep -l -F "binary=\"$plugin\"" "$HOME"/.cache/ardour7/vst/*.v2i 2>/dev/null | head -n 1
}
env "${ardour_env[@]}" LD_LIBRARY_PATH="$(dirname "$scanner")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
  timeout "$TOOL_TIMEOUT" "$scanner" -f -v "$plugin" >"$scan_log" 2>&1 &
scan_pid=$!
if [[ -n "$asan_runtime" ]]; then
  # With the sanitizer runtime preloaded the scanner hangs in its exit handlers (a library's
  # destructor waits on glibc's locale lock), after it has closed the plug-in and written its
  # cache. Once the cache is there it is stopped instead of waited for.
  for _ in $(seq 100); do [[ -n "$(find_cache)" ]] && break; sleep 0.2; done
  sleep 0.5
  kill "$scan_pid" 2>/dev/null
fi
wait "$scan_pid"
scan_status=$?
cat "$scan_log"
# The scanner exits 0 even when the module failed to load, so its exit status proves
# nothing: success is a cache file that names this module and describes a plug-in in it.
cache="$(find_cache)"
[[ -n "$cache" ]] || fail "the scanner wrote no cache file for $plugin (exit status $scan_status)"
grep -q "<VST2Info .*name=\"$plugin_name\"" "$cache" \
  || fail "the scan cache $cache does not describe a plug-in named '$plugin_name'"
grep "<VST2Info" "$cache" | sed 's/^[[:space:]]*/cache: /'
if grep -q -E 'ERROR: AddressSanitizer|runtime error:' "$scan_log"; then
  fail "the sanitizer reported an error while the scanner loaded the module"
fi
if [[ -n "$asan_runtime" ]]; then
  skip "scan passed under AddressSanitizer; ardour7-lua cannot run with the sanitizer runtime preloaded, so the render stage needs a build without VIRLEX_SANITIZE"
fi

ardour_prepare_session

ardour_write_export_preset

step "insert '$plugin_name' on the track, set parameters, render"
render_log="$work/render.log"
run_lua render.lua "$render_log" RENDER-OK "$session_dir" virlex "$plugin_name" "$work/render" "$FRAMES" \
  "${checks[@]}"
# A render that cannot find the plug-in goes ahead without it, so the log must show the
# plug-in by name and every parameter check.
grep -q "^plugin: name='$plugin_name'" "$render_log" || fail "the render log does not show '$plugin_name' in the chain"
for check in "${checks[@]}"; do
  index="$(cut -d: -f2 <<<"$check")"
  grep -q "^param $index " "$render_log" || fail "the render log shows no result for check $check"
done

step "compare the render with the signal"
ardour_compare_render
echo "PASS: Ardour scanned, loaded and parameterised '$plugin_name' and rendered audio through it unchanged"
