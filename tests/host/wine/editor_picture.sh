#!/usr/bin/env bash
# The Windows DLL's editor draws on screen what the off-screen renderer draws for
# the same state: vsthost.exe edit under wine plays a looping test signal for a
# second and takes a screenshot of the window; virlex-render renders the same
# signal at the same moment; the two agree outside the text areas (GDI and
# FreeType glyphs differ). Also: the live display moves, and the freeze button
# stops it. Run by run_wine.sh, which sets WINE.
# Usage: editor_picture.sh VSTHOST_EXE PLUGIN_DLL VIRLEX_RENDER PICTURE_CHECK
#
# Tolerance: at most 0.8 % of the pixels outside the text areas may differ by more
# than 24 levels; measured 0.37 to 0.39 % in the three domains. What differs: the
# knob pointers, drawn one pixel apart (the rotation's sine and cosine come from
# the Windows runtime on one side and glibc on the other), and the spectrum's
# edges (the real-time feed cuts the audio into blocks at other places than the
# renderer's clock, which moves the smoothing by a step). A misplaced window or
# trace differs in far more than that; a missing knob in about 0.5 %.
set -u
exe=${1:?usage: editor_picture.sh VSTHOST_EXE PLUGIN_DLL VIRLEX_RENDER PICTURE_CHECK} dll=${2:?}
render=${3:?} check=${4:?}
for file in "$exe" "$dll" "$render" "$check"; do
  [ -f "$file" ] || { echo "FAIL: $file does not exist (is the build finished?)"; exit 1; }
done
source "$(dirname "${BASH_SOURCE[0]}")/wine_session.sh"
share=0.008

# compare NAME MODE A B [SHARE]: picture_check's verdict as a check.
compare() {
  local name=$1
  shift
  if "$check" "$@" >"$work/compare.txt" 2>&1; then
    echo "PASS [$name]: $(cat "$work/compare.txt")"
  else
    echo "FAIL [$name]: $(cat "$work/compare.txt")"
    failures=$((failures + 1))
  fi
}

"$check" wav "$work/signal.wav" || { echo "FAIL: cannot write the test signal"; exit 1; }
# Inputs 3 and 4 on; the trigger at -10 dB holds the traces still.
common=(--param "input 3=1" --param "input 4=1" --param "hold=0.606061")
for domain in time:0 freq:0.5 phase:1; do
  name=${domain%%:*}
  wine_run "$exe" edit "$dll" "$work/signal.wav" "${common[@]}" --param "domain=${domain#*:}" \
    --screenshot "1:$work/window-$name.png" --seconds 1.2
  expect "screenshot of the $name display" "^screenshot: .*window-$name.png \(724x526\) at 1.00 s$" ||
    continue
  "$render" "$work/signal.wav" "${common[@]}" --param "domain=${domain#*:}" --at 1 \
    -o "$work/render-$name.png" >/dev/null 2>&1 || {
    echo "FAIL [$name]: virlex-render did not render"
    failures=$((failures + 1))
    continue
  }
  compare "window and off-screen render agree, $name" same "$work/window-$name.png" \
    "$work/render-$name.png" "$share"
done

# The built-in signal (noise on input 4) keeps a live display moving; frozen, it
# stands still. Its loop is made ten seconds long, so that no two pictures here can
# show the same stretch of noise; each screenshot waits for its audio and a redraw.
wine_run "$exe" edit "$dll" --param "input 4=1" --frames 480000 \
  --screenshot "0.6:$work/live1.png" --screenshot "1.1:$work/live2.png" --click 1.3:657,390 \
  --screenshot "1.5:$work/frozen1.png" --screenshot "2.0:$work/frozen2.png" --seconds 2.1
expect "screenshots around the freeze click" '^screenshot: .*frozen2.png' || wine_finish
compare "the live display moves" moved "$work/live1.png" "$work/live2.png"
compare "a click on the freeze button stops it" still "$work/frozen1.png" "$work/frozen2.png"
if [ -n "${VIRLEX_KEEP_PICTURES:-}" ]; then cp "$work"/*.png "$VIRLEX_KEEP_PICTURES"/; fi

wine_finish
