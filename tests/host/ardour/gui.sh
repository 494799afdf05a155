#!/usr/bin/env bash
# Ardour's GUI as the host of the editor: under a private Xvfb, with a JACK server on its
# dummy driver as the audio system, Ardour opens a session that holds the plug-in on a
# track, its mixer window is shown, the plug-in's entry is double-clicked as a user would,
# the transport rolls, and the plug-in's editor window is captured twice: the traces must
# move between the two pictures.
#
# Usage: gui.sh MODULE.so OUT.png [PLUGIN_NAME]
#   OUT.png receives the editor window as Ardour shows it (its tool bar included).
# Exit status: 0 pass, 1 fail (the reason is printed), 77 skipped (a tool is missing).
# VIRLEX_KEEP_TEMP=1 keeps the temporary folder (logs, screenshots) for a look.

set -u

readonly SKIP=77
readonly HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
readonly RATE=48000
readonly SECONDS_OF_SIGNAL=30
readonly TOOL_TIMEOUT=120

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit "$SKIP"; }
step() { echo "== $*"; }

module="${1:-}"
out="${2:-}"
plugin_name="${3:-Virlex}"
[[ -n "$module" && -n "$out" ]] || fail "usage: gui.sh MODULE.so OUT.png [PLUGIN_NAME]"
[[ -f "$module" ]] || fail "no plug-in module at $module"

lua_runner="$(command -v ardour7-lua || true)"
scanner=/usr/lib/ardour7/ardour-vst-scanner
for tool in ardour Xvfb jackd xdotool import python3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ -n "$lua_runner" && -x "$scanner" ]] || skip "Ardour's tools are not installed (Debian package 'ardour')"
if ldd "$module" 2>/dev/null | grep -q libasan; then
  skip "a module built with AddressSanitizer does not load into Ardour's GUI"
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/virlex-ardour-gui.XXXXXX")" || fail "cannot make a temporary folder"
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -- "-${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  if [[ -n "${VIRLEX_KEEP_TEMP:-}" ]]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
# Starts a command in a process group of its own, so cleanup ends it with its children.
start() { setsid "$@" & pids+=($!); }

# A private HOME, as in run.sh: Ardour's configuration, caches and plug-in lists start empty.
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
export LXVST_PATH="$work/vst"
unset VST_PATH
config="$XDG_CONFIG_HOME/ardour7"
mkdir -p "$config" "$LXVST_PATH" "$work/audio"
# Not a first start (no welcome wizard), and JACK as the audio system Ardour connects to.
touch "$config/.a7"
cat >"$config/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config/>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="JACK" driver="" device="" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML

step "scan the module"
plugin="$LXVST_PATH/$(basename "$module")"
cp "$module" "$plugin" || fail "cannot copy $module"
touch -d '-1 minute' "$plugin"  # see run.sh: a cache must be newer than the module
LD_LIBRARY_PATH="$(dirname "$scanner")" timeout "$TOOL_TIMEOUT" "$scanner" -f "$plugin" \
  >"$work/scan.log" 2>&1 || fail "the scanner failed (see $work/scan.log)"

step "make a session with '$plugin_name' on a track playing ${SECONDS_OF_SIGNAL} s of signal"
run_lua() {  # script, marker, arguments...
  local script="$1" marker="$2"; shift 2
  (cd "$work" && timeout "$TOOL_TIMEOUT" "$lua_runner" "$HERE/$script" "$@") >"$work/$script.log" 2>&1
  grep -q "^$marker\$" "$work/$script.log" || fail "$script: $(grep '^FAIL: ' "$work/$script.log" || echo 'did not finish')"
}
frames=$((RATE * SECONDS_OF_SIGNAL))
session_dir="$work/session"
python3 "$HERE/session_tool.py" signal "$work/audio" "$frames" "$RATE" || fail "cannot write the signal"
run_lua new_session.lua SESSION-OK "$session_dir" virlex "$RATE"
audio_dir="$session_dir/interchange/$(basename "$session_dir")/audiofiles"
cp "$work/audio/in-L.wav" "$work/audio/in-R.wav" "$audio_dir/" || fail "cannot copy the signal"
python3 "$HERE/session_tool.py" inject "$session_dir/virlex.ardour" "$audio_dir" in "$frames" "$RATE" \
  || fail "cannot place the signal in the session"
run_lua add_plugin.lua ADD-OK "$session_dir" virlex "$plugin_name"

step "start Xvfb and a JACK server on its dummy driver"
start Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log"
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
export JACK_DEFAULT_SERVER="virlex-gui-$$" JACK_NO_AUDIO_RESERVATION=1
# No real-time scheduling: a test machine does not grant it, and JACK then drops clients.
start jackd -r -n "$JACK_DEFAULT_SERVER" -d dummy -r "$RATE" -p 1024 >"$work/jack.log" 2>&1
sleep 1

step "start Ardour's GUI on the session"
ARDOUR_TRY_AUTOSTART_ENGINE=1 start ardour -n -a "$session_dir/virlex.ardour" >"$work/ardour.log" 2>&1

shot() { import -window "${2:-root}" -depth 8 "$1" 2>/dev/null; }
# Answers the dialogs Ardour may raise on the way (a changed audio device, the locked-memory
# warning, the audio setup when it did not connect by itself) with their default button.
main=""
for _ in $(seq 90); do
  main="$(xdotool search --onlyvisible --name '^virlex - Ardour$' 2>/dev/null | head -n 1)"
  if [[ -n "$main" ]] && ! xdotool search --onlyvisible --name '^Audio/MIDI Setup$' >/dev/null 2>&1; then
    break
  fi
  for w in $(xdotool search --onlyvisible --class 'ardour' 2>/dev/null); do
    name="$(xdotool getwindowname "$w" 2>/dev/null)"
    [[ "$name" == "virlex - Ardour" ]] && continue
    xdotool key --window "$w" Return 2>/dev/null
  done
  sleep 1
done
[[ -n "$main" ]] || { shot "$work/no-main-window.png"; fail "Ardour's main window did not appear"; }
sleep 2

# Each step below waits for what it needs to see rather than for a fixed time: a busy
# machine (the test command runs tests side by side) can make Ardour slow to draw.
step "show the mixer and double-click the plug-in's entry"
xdotool key --window "$main" alt+m 2>/dev/null
# The entry's place once the mixer has stopped laying itself out: the same in two
# screenshots a second apart.
find_entry() {
  local previous="" now=""
  for _ in $(seq 30); do
    sleep 1
    shot "$work/mixer.ppm"
    now="$(python3 "$HERE/find_processor.py" "$work/mixer.ppm")" || now=""
    [[ -n "$now" && "$now" == "$previous" ]] && { echo "$now"; return 0; }
    previous="$now"
  done
  return 1
}
editor=""
for attempt in 1 2 3; do
  position="$(find_entry)" || fail "no plug-in entry on the mixer (see $work/mixer.ppm)"
  # shellcheck disable=SC2086
  xdotool mousemove $position click --repeat 2 --delay 80 1
  for _ in $(seq 20); do
    editor="$(xdotool search --onlyvisible --name ": $plugin_name" 2>/dev/null | head -n 1)"
    [[ -n "$editor" ]] && break 2
    sleep 0.5
  done
  echo "note: no editor window after double-click $attempt"
done
[[ -n "$editor" ]] || { shot "$work/no-editor.png"; fail "the plug-in's editor window did not open"; }
echo "editor window: $(xdotool getwindowname "$editor")"

step "roll the transport and watch the traces move"
xdotool key --window "$main" space 2>/dev/null
changed=0
for _ in $(seq 15); do
  sleep 1
  shot "$work/editor-1.png" "$editor"
  sleep 0.7
  shot "$work/editor-2.png" "$editor"
  changed="$(compare -metric AE "$work/editor-1.png" "$work/editor-2.png" null: 2>&1)"
  [[ "$changed" =~ ^[0-9]+$ && "$changed" -gt 1000 ]] && break
done
echo "pixels changed between two pictures 0.7 s apart: $changed"
[[ "$changed" =~ ^[0-9]+$ && "$changed" -gt 1000 ]] || fail "the editor's traces do not move"
cp "$work/editor-2.png" "$out" || fail "cannot write $out"
echo "PASS: Ardour's GUI opened the editor and its traces moved with the audio ($out)"
