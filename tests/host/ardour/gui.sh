#!/usr/bin/env bash
# Ardour's GUI as the host of the editor: under a private Xvfb, with a JACK server on its
# dummy driver as the audio system, Ardour opens a session that holds the plug-in on a
# track, its mixer window is shown, the plug-in's entry is double-clicked as a user would,
# the transport rolls, and the plug-in's editor window is captured twice: the traces must
# move between the two pictures.
#
# Usage: gui.sh MODULE.so OUT.png [PLUGIN_NAME]
#   OUT.png receives the editor window as Ardour shows it (its tool bar included).
# Exit status: 0 pass, 1 fail (the reason is printed), 77 skipped (a tool is missing, or
# JACK dropped Ardour on every attempt: see below).
# VIRLEX_KEEP_TEMP=1 keeps the temporary folder (logs, screenshots) for a look.
#
# Should JACK drop Ardour all the same (see jack_server.sh; Ardour's log shows "JACK HALTED",
# and Ardour then answers every attempt to open a plug-in's window with "error communicating
# with the audio hardware"), that is between Ardour and JACK: the attempt is started again
# from nothing, and only if it happens every time is the test skipped, with the evidence
# printed. Everything else that keeps the editor from opening and moving is a failure.

set -u

readonly SKIP=77
readonly HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
readonly RATE=48000
readonly SECONDS_OF_SIGNAL=30
readonly TOOL_TIMEOUT=120
readonly ATTEMPTS=2

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
for tool in ardour Xvfb jackd jack_lsp xdotool import compare python3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ -n "$lua_runner" && -x "$scanner" ]] || skip "Ardour's tools are not installed (Debian package 'ardour')"
if ldd "$module" 2>/dev/null | grep -q libasan; then
  skip "a module built with AddressSanitizer does not load into Ardour's GUI"
fi

pids=()
# Starts a command in a process group of its own, so stop_all ends it with its children.
start() { setsid "$@" & pids+=($!); }
stop_all() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -- "-${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  pids=()
}
# shellcheck source=../jack_server.sh
source "$HERE/../jack_server.sh"
jack_private_shm "$0" "$@"

work="$(mktemp -d "${TMPDIR:-/tmp}/virlex-ardour-gui.XXXXXX")" || fail "cannot make a temporary folder"
cleanup() {
  stop_all
  if [[ -n "${VIRLEX_KEEP_TEMP:-}" ]]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# A private HOME, as in run.sh: Ardour's configuration, caches and plug-in lists start empty.
# Each attempt below gets a fresh copy of it as the scan left it.
use_home() {
  export HOME="$1"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
  mkdir -p "$XDG_CONFIG_HOME/ardour7"
}
export LXVST_PATH="$work/vst"
unset VST_PATH
mkdir -p "$LXVST_PATH" "$work/audio"

step "scan the module"
use_home "$work/home"
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

# Ardour's settings for one attempt: not a first start (no welcome wizard), JACK as the audio
# system, and a double-click time of a second: GTK's default of a quarter of a second is
# shorter than a loaded machine may take between the two presses xdotool sends, and two
# single clicks only select the entry.
write_settings() {
  touch "$XDG_CONFIG_HOME/ardour7/.a7"
  cat >"$XDG_CONFIG_HOME/ardour7/config" <<'XML'
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
  echo "gtk-double-click-time = 1000" >"$HOME/.gtkrc-2.0"
}

shot() { import -window "${2:-root}" -depth 8 "$1" 2>/dev/null; }

# Why JACK no longer serves Ardour, if it does not: prints the evidence, or nothing.
jack_trouble() {
  if ! kill -0 "$jack_pid" 2>/dev/null; then
    echo "the JACK server exited: $(tail -n 2 "$dir/jack.log" | tr '\n' ' ')"
  elif grep -q 'JACK HALTED' "$dir/ardour.log"; then
    echo "JACK dropped Ardour ('$(grep -m 1 'JACK HALTED' "$dir/ardour.log")'; JACK's log:" \
      "$(grep -m 3 -e 'CheckSize error' -e 'Unknown request' -e 'XRun' "$dir/jack.log" | tr '\n' ' '))"
  fi
}

# Each attempt sets outcome to pass, fail or jack and reason to why; it stops on the first
# thing that goes wrong.
attempt() {
  dir="$work/attempt-$1"
  mkdir -p "$dir"
  # The scan's results (and their times, which must stay newer than the module) come along.
  cp -a "$work/home" "$dir/home" || { outcome=fail reason="cannot copy the private home"; return; }
  use_home "$dir/home"
  write_settings
  cp -a "$session_dir" "$dir/session" || { outcome=fail reason="cannot copy the session"; return; }

  step "start Xvfb and a JACK server on its dummy driver"
  start Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log"
  for _ in $(seq 100); do [[ -s "$dir/display" ]] && break; sleep 0.1; done
  [[ -s "$dir/display" ]] || { outcome=fail reason="Xvfb did not start"; return; }
  export DISPLAY=":$(head -n 1 "$dir/display")"
  jack_start_dummy "virlex-gui-$$-$1" "$RATE" 1024 "$dir/jack.log"
  jack_pid=${pids[-1]}

  step "start Ardour's GUI on the session"
  ARDOUR_TRY_AUTOSTART_ENGINE=1 start ardour -n -a "$dir/session/virlex.ardour" >"$dir/ardour.log" 2>&1
  local ardour_pid=${pids[-1]} trouble
  ardour_gone() {
    kill -0 "$ardour_pid" 2>/dev/null && return 1
    wait "$ardour_pid"
    outcome=fail reason="Ardour exited with status $? ($1; see $dir/ardour.log)"
  }
  # Answers the dialogs Ardour may raise on the way (a changed audio device, the locked-memory
  # warning, the audio setup when it did not connect by itself) with their default button.
  local main=""
  for _ in $(seq 90); do
    main="$(xdotool search --onlyvisible --name '^virlex - Ardour$' 2>/dev/null | head -n 1)"
    if [[ -n "$main" ]] && ! xdotool search --onlyvisible --name '^Audio/MIDI Setup$' >/dev/null 2>&1; then
      break
    fi
    ardour_gone "while opening the session" && return
    trouble="$(jack_trouble)"
    [[ -n "$trouble" ]] && { outcome=jack reason="$trouble"; return; }
    for w in $(xdotool search --onlyvisible --class 'ardour' 2>/dev/null); do
      [[ "$(xdotool getwindowname "$w" 2>/dev/null)" == "virlex - Ardour" ]] && continue
      xdotool key --window "$w" Return 2>/dev/null
    done
    sleep 1
  done
  [[ -n "$main" ]] || { shot "$dir/no-main-window.png"; outcome=fail reason="Ardour's main window did not appear"; return; }
  sleep 2

  # Each step below waits for what it needs to see rather than for a fixed time: a busy
  # machine (the test command runs tests side by side) can make Ardour slow to draw.
  step "show the mixer and double-click the plug-in's entry"
  xdotool key --window "$main" alt+m 2>/dev/null
  editor=""
  local position
  for click in 1 2 3; do
    position="$(find_entry)" || { outcome=fail reason="no plug-in entry on the mixer (see $dir/mixer.ppm)"; return; }
    trouble="$(jack_trouble)"
    [[ -n "$trouble" ]] && { outcome=jack reason="$trouble"; return; }
    # shellcheck disable=SC2086
    xdotool mousemove $position click --repeat 2 --delay 80 1
    for _ in $(seq 30); do
      editor="$(xdotool search --onlyvisible --name ": $plugin_name" 2>/dev/null | head -n 1)"
      [[ -n "$editor" ]] && break 2
      ardour_gone "after the double-click on the plug-in's entry" && return
      sleep 0.5
    done
    shot "$dir/no-editor-$click.png"
    trouble="$(jack_trouble)"
    [[ -n "$trouble" ]] && { outcome=jack reason="$trouble"; return; }
    echo "note: no editor window after double-click $click at $position (see $dir/no-editor-$click.png)"
  done
  [[ -n "$editor" ]] || { outcome=fail reason="the plug-in's editor window did not open"; return; }
  echo "editor window: $(xdotool getwindowname "$editor")"

  step "roll the transport and watch the traces move"
  xdotool key --window "$main" space 2>/dev/null
  local changed=0
  for _ in $(seq 15); do
    sleep 1
    shot "$dir/editor-1.png" "$editor"
    sleep 0.7
    shot "$dir/editor-2.png" "$editor"
    changed="$(compare -metric AE "$dir/editor-1.png" "$dir/editor-2.png" null: 2>&1)"
    [[ "$changed" =~ ^[0-9]+$ && "$changed" -gt 1000 ]] && break
    ardour_gone "while the transport rolled" && return
  done
  echo "pixels changed between two pictures 0.7 s apart: $changed"
  if ! [[ "$changed" =~ ^[0-9]+$ && "$changed" -gt 1000 ]]; then
    trouble="$(jack_trouble)"
    [[ -n "$trouble" ]] && { outcome=jack reason="$trouble"; return; }
    outcome=fail reason="the editor's traces do not move"
    return
  fi
  cp "$dir/editor-2.png" "$out" || { outcome=fail reason="cannot write $out"; return; }
  outcome=pass
}

# The entry's place once the mixer has stopped laying itself out: the same in two
# screenshots a second apart.
find_entry() {
  local previous="" now=""
  for _ in $(seq 30); do
    sleep 1
    shot "$dir/mixer.ppm"
    now="$(python3 "$HERE/find_processor.py" "$dir/mixer.ppm")" || now=""
    [[ -n "$now" && "$now" == "$previous" ]] && { echo "$now"; return 0; }
    previous="$now"
  done
  return 1
}

for n in $(seq "$ATTEMPTS"); do
  outcome="" reason=""
  attempt "$n"
  stop_all
  case "$outcome" in
    pass) echo "PASS: Ardour's GUI opened the editor and its traces moved with the audio ($out)"; exit 0 ;;
    jack) echo "note: attempt $n: $reason; starting again from nothing" ;;
    *) fail "$reason" ;;
  esac
done
skip "JACK dropped Ardour in each of $ATTEMPTS attempts, before the editor could be shown: $reason"
