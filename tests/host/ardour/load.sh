#!/usr/bin/env bash
# Ardour under load: several sessions in a row, each with the plug-in on several tracks and
# its parameters automated while Ardour renders; every render must equal its input.
#
# Usage: load.sh MODULE.so [SESSIONS [TRACKS]]
# Ardour's own crashes (see guard.sh) are told apart from faults of the module: a crash
# whose stack reaches the module fails the test at once; one in Ardour's own code after a
# complete and correct render is noted; one before it makes the session run again, and
# when every attempt ends that way the test reports itself skipped, never failed at random.
# Exit status: 0 pass, 1 fail, 77 skipped (Ardour's tools missing, or Ardour kept crashing).
set -u

readonly HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$HERE/common.sh"
readonly LOAD_FRAMES=96000  # two seconds: dozens of automation points per parameter
readonly ATTEMPTS=3
# fft size, X zoom low and high, Y zoom, delay 1, blend speed, opacity, hold, domain
readonly AUTOMATED=(10 13 14 15 5 11 12 9 0)

module="${1:-}"
sessions="${2:-3}"
tracks="${3:-4}"
[[ -f "$module" ]] || fail "usage: load.sh MODULE.so [SESSIONS [TRACKS]]"
ardour_find_runner
scanner="${VIRLEX_ARDOUR_SCANNER:-/usr/lib/ardour7/ardour-vst-scanner}"
[[ -x "$scanner" ]] || skip "ardour-vst-scanner is not installed (Debian package 'ardour')"
if ldd "$module" 2>/dev/null | grep -q libasan; then
  skip "the module uses AddressSanitizer, which ardour7-lua cannot load (see run.sh)"
fi
[[ -n "$guard_gdb" ]] || echo "note: gdb cannot run here; crashes are judged by their messages only"

ardour_private_home
export LXVST_PATH="$work/vst"
unset VST_PATH
mkdir -p "$LXVST_PATH"
plugin="$LXVST_PATH/$(basename "$module")"
cp "$module" "$plugin" && touch -d '-1 minute' "$plugin" || fail "cannot copy $module"
step "scan"
LD_LIBRARY_PATH="$(dirname "$scanner")" timeout "$TOOL_TIMEOUT" "$scanner" -f "$plugin" >"$work/scan.log" 2>&1
grep -l -q -F "binary=\"$plugin\"" "$HOME"/.cache/ardour7/vst/*.v2i 2>/dev/null \
  || { cat "$work/scan.log"; fail "the scanner wrote no cache file for the module"; }
ardour_write_export_preset
python3 "$HERE/session_tool.py" signal "$work/audio" "$LOAD_FRAMES" "$RATE" \
  || fail "cannot write the test signal"

# One Lua step under the guard. Returns 0 when the script printed its marker, 1 when it
# printed a FAIL verdict (the run fails), 2 when Ardour crashed in its own code before the
# verdict (the session is run again).
lua_step() {  # log, marker, script, arguments...
  local log="$1" marker="$2" script="$3"
  shift 3
  cd "$work" || fail "cannot enter $work"
  guarded_run "$log" "$plugin" "$TOOL_TIMEOUT" "$lua_runner" "$HERE/$script" "$@"
  grep -q '^FAIL: ' "$log" && fail "$script: $(grep '^FAIL: ' "$log" | head -n 1 | cut -c7-)"
  case "$guard_crash" in
    ours)
      guard_stack "$log"
      fail "$script crashed with the module on the stack (see above)"
      ;;
    "") ;;
    *)
      echo "note: ardour7-lua crashed in Ardour's own code during $script (signal $((guard_status - 128)))"
      guard_stack "$log" | head -n 12 | sed 's/^/  /'
      ;;
  esac
  grep -q "^$marker\$" "$log" && return 0
  [[ -n "$guard_crash" ]] && return 2
  tail -n 20 "$log"
  fail "$script did not finish (exit status $guard_status)"
}

ardour_crashes=0
for s in $(seq "$sessions"); do
  done_ok=""
  for attempt in $(seq "$ATTEMPTS"); do
    step "session $s of $sessions, attempt $attempt: $tracks tracks, ${#AUTOMATED[@]} parameters automated on each"
    dir="$work/session-$s-$attempt"
    (lua_step "$work/new-$s.log" SESSION-OK new_session.lua "$dir" virlex "$RATE" "$tracks")
    case $? in 0) ;; 2) ardour_crashes=$((ardour_crashes + 1)); continue ;; *) exit 1 ;; esac
    audio_dir="$dir/interchange/$(basename "$dir")/audiofiles"
    cp "$work/audio/in-L.wav" "$work/audio/in-R.wav" "$audio_dir/" || fail "cannot copy the signal"
    python3 "$HERE/session_tool.py" inject "$dir/virlex.ardour" "$audio_dir" in "$LOAD_FRAMES" "$RATE" \
      || fail "cannot place the signal in the session"
    rm -rf "$work/render" && mkdir -p "$work/render"
    (lua_step "$work/render-$s.log" RENDER-OK render_load.lua "$dir" virlex Virlex "$work/render" \
      "$LOAD_FRAMES" "$tracks" "${AUTOMATED[@]}")
    case $? in 0) ;; 2) ardour_crashes=$((ardour_crashes + 1)); continue ;; *) exit 1 ;; esac
    grep -E '^plugin' "$work/render-$s.log"
    shopt -s nullglob
    renders=("$work"/render/*.wav)
    [[ ${#renders[@]} -eq 1 ]] || fail "session $s: expected one rendered WAV, found ${#renders[@]}"
    # The other tracks carry no region: the master bus holds track 1 alone, exactly.
    python3 "$HERE/session_tool.py" compare "$work/audio" "${renders[0]}" "$LOAD_FRAMES" \
      || fail "session $s: the render does not equal the input"
    done_ok=1
    break
  done
  if [[ -z "$done_ok" ]]; then
    skip "Ardour crashed in its own code in all $ATTEMPTS attempts of session $s ($ardour_crashes crashes so far); no stack reached the module"
  fi
done
echo "PASS: $sessions sessions of $tracks tracks with automated '$(basename "$module")' rendered unchanged ($ardour_crashes crashes of Ardour's own noted)"
