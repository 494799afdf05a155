# Shared machinery of the Ardour host tests (run.sh loads a VST 2 module, run_lv2.sh the LV2
# bundle): a private home for Ardour's tools, the test signal on a session with one stereo
# track, the float WAV export preset, the Lua runner with its verdict lines, and the
# comparison of a render with the signal. Sourced after HERE is set; defines only.

readonly RATE=48000
# One second: enough blocks to see a slip between blocks, short enough to run in seconds.
readonly FRAMES=48000
readonly TOOL_TIMEOUT=120

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
step() { echo "== $*"; }

# Sets lua_runner to Ardour's Lua session runner, or skips the test.
ardour_find_runner() {
  # Debian's ardour package puts the runner on PATH; VIRLEX_ARDOUR_LUA can point at another
  # Ardour 7 installation.
  lua_runner="${VIRLEX_ARDOUR_LUA:-$(command -v ardour7-lua || true)}"
  [[ -n "$lua_runner" && -x "$lua_runner" ]] || skip "ardour7-lua is not installed (Debian package 'ardour')"
  command -v python3 >/dev/null || skip "python3 is not installed"
}

# Makes the temporary folder $work (removed on exit unless VIRLEX_KEEP_TEMP is set) and a
# private HOME inside it.
ardour_private_home() {
  work="$(mktemp -d "${TMPDIR:-/tmp}/virlex-ardour.XXXXXX")" || fail "cannot make a temporary folder"
  ardour_cleanup() {
    if [[ -n "${VIRLEX_KEEP_TEMP:-}" ]]; then echo "kept $work"; else rm -rf "$work"; fi
  }
  trap ardour_cleanup EXIT
  # A private HOME keeps the scan cache, Ardour's configuration and its plug-in lists away from
  # the user's, and makes every run start from nothing. Ardour honours the XDG variables over
  # HOME, so they are pointed inside it as well.
  export HOME="$work/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME/ardour7/export" "$work/audio" "$work/render"
}

source "$HERE/guard.sh"

# Runs a Lua step under the guard (guard.sh), again when Ardour crashed in its own code
# before the script's verdict; a crash with the module (the file named like $plugin, else
# Virlex.so) on the stack fails at once.
run_lua() {  # script, log, marker, arguments...
  local script="$1" log="$2" marker="$3"; shift 3
  local module="${plugin:-Virlex.so}" attempt
  for attempt in 1 2 3; do
    pushd "$work" >/dev/null || fail "cannot enter $work"
    guarded_run "$log" "$module" "$TOOL_TIMEOUT" "$lua_runner" "$HERE/$script" "$@"
    popd >/dev/null || fail "cannot leave $work"
    # The script's own lines, without gdb's (the stack is shown below when it matters).
    sed '/^GUARD-STACK-BEGIN$/,/^GUARD-STACK-END$/d' "$log" | grep -v -e '^\[' -e '^FAIL: ' \
      -e '^process [0-9]* is executing' -e '^Using host libthread_db' -e '^warning: ' \
      -e '^BFD: ' -e '^Thread .* received signal' -e '^#[0-9]'
    # The interpreter reports Lua errors on its output and still exits 0, and a run that died
    # may print nothing useful: the script's own last line is the only trustworthy verdict.
    grep -q '^FAIL: ' "$log" && fail "$script: $(grep '^FAIL: ' "$log" | head -n 1 | cut -c7-)"
    if [[ "$guard_crash" == ours ]]; then
      guard_stack "$log"
      fail "$script crashed with the module on the stack (see above)"
    fi
    if grep -q "^$marker\$" "$log"; then
      # ardour7-lua sometimes crashes while shutting down, after the script has finished and
      # with no plug-in loaded at all; that is not the module's fault.
      if [[ -n "$guard_crash" ]]; then
        echo "note: ardour7-lua crashed in its own code after $script finished:"
        guard_stack "$log" | head -n 8 | sed 's/^/  /'
      fi
      return 0
    fi
    [[ -n "$guard_crash" ]] || fail "$script did not finish (exit status $guard_status)"
    echo "note: ardour7-lua crashed in its own code before $script finished; running it again"
    guard_stack "$log" | head -n 8 | sed 's/^/  /'
    [[ "$script" != new_session.lua ]] || rm -rf "${session_dir:?}"
  done
  skip "ardour7-lua crashed in its own code in every attempt of $script; no stack reached the module"
}

# Writes the test signal, creates the session $session_dir with one stereo track "in" and
# places the signal on that track.
ardour_prepare_session() {
  step "write the test signal"
  python3 "$HERE/session_tool.py" signal "$work/audio" "$FRAMES" "$RATE" || fail "cannot write the test signal"

  step "create a session with one stereo track"
  session_dir="$work/session"
  run_lua new_session.lua "$work/session.log" SESSION-OK "$session_dir" virlex "$RATE"

  step "place the signal on the track"
  audio_dir="$session_dir/interchange/$(basename "$session_dir")/audiofiles"
  [[ -d "$audio_dir" ]] || fail "the session has no audio folder at $audio_dir"
  cp "$work/audio/in-L.wav" "$work/audio/in-R.wav" "$audio_dir/" || fail "cannot copy the signal"
  python3 "$HERE/session_tool.py" inject "$session_dir/virlex.ardour" "$audio_dir" in "$FRAMES" "$RATE" \
    || fail "cannot place the signal in the session"
}

# The export preset render.lua uses.
ardour_write_export_preset() {
  # Render format: plain WAV, 32-bit float, no dither, no normalising, so that a chain that
  # passes audio unchanged gives back the very same float values.
  cat >"$XDG_CONFIG_HOME/ardour7/export/virlex-float.format" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<ExportFormatSpecification name="Virlex float WAV" id="8d0f4b7e-2c61-4f5a-b1e3-6a9c0d2e4f11" with-cue="false" with-toc="false" with-mp4chaps="false" command="" analyse="false" soundcloud-upload="false">
  <Encoding id="F_WAV" type="T_Sndfile" extension="wav" name="WAV" has-sample-format="true" channel-limit="256"/>
  <SampleRate rate="1"/>
  <SRCQuality quality="SRC_SincBest"/>
  <EncodingOptions>
    <Option name="sample-format" value="SF_Float"/>
    <Option name="dithering" value="D_None"/>
    <Option name="tag-metadata" value="false"/>
    <Option name="tag-support" value="false"/>
    <Option name="broadcast-info" value="false"/>
  </EncodingOptions>
  <Processing>
    <Normalize enabled="false" loudness="no" dbfs="0" lufs="-23" dbtp="-1"/>
    <Silence>
      <Start><Trim enabled="false"/><Add enabled="false"/></Start>
      <End><Trim enabled="false"/><Add enabled="false"/></End>
    </Silence>
  </Processing>
</ExportFormatSpecification>
EOF
  cat >"$XDG_CONFIG_HOME/ardour7/export/virlex-float.preset" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="5c7e6a0e-8a1d-4f0b-9a55-0d3c2b1e7f42" name="Virlex float WAV">
  <ExportFormat id="8d0f4b7e-2c61-4f5a-b1e3-6a9c0d2e4f11"/>
  <ExportFilename>
    <Folder relative="0" path=""/>
    <Field name="label" enabled="0"/>
    <Field name="session" enabled="0"/>
    <Field name="snapshot" enabled="0"/>
    <Field name="timespan" enabled="1"/>
    <Field name="revision" enabled="0"/>
    <Field name="time" enabled="0" value="T_None"/>
    <Field name="date" enabled="0" value="D_None"/>
  </ExportFilename>
</ExportPreset>
EOF
}

# The render in $work/render must equal the signal sample for sample.
ardour_compare_render() {
  shopt -s nullglob
  local renders=("$work"/render/*.wav)
  [[ ${#renders[@]} -eq 1 ]] || fail "expected one rendered WAV in $work/render, found ${#renders[@]}"
  python3 "$HERE/session_tool.py" compare "$work/audio" "${renders[0]}" "$FRAMES" \
    || fail "the render does not equal the input"
}
