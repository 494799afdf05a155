#!/usr/bin/env bash
# The Windows DLL's editor in vsthost.exe edit under wine (run by run_wine.sh,
# which sets WINE): real clicks, drags, wheel and keys reach the editor, the host
# reads the changed parameters back with begin/end edit around each gesture, value
# entry commits and cancels, and the editor opens, closes and reopens cleanly.
# Usage: editor_check.sh VSTHOST_EXE PLUGIN_DLL
set -u
exe=${1:?usage: editor_check.sh VSTHOST_EXE PLUGIN_DLL} dll=${2:?}
for file in "$exe" "$dll"; do
  [ -f "$file" ] || { echo "FAIL: $file does not exist (is the Windows build finished?)"; exit 1; }
done
source "$(dirname "${BASH_SOURCE[0]}")/wine_session.sh"

# Editor pixels of the controls used below.
input2=250,474 domain=63,465 blend=522,465 opacity=571,465 display=349,200

wine_run "$exe" edit "$dll" \
  --click "0.3:$input2" \
  --drag "0.5:$domain:63,385" \
  --print-params 0.9 \
  --wheel "1.0:$display:2" \
  --wheel "1.3:$opacity:2" \
  --print-params 1.5 \
  --right-click "1.6:$opacity" --list-windows 1.7 \
  --click "1.8:$opacity" --key 1.9:end \
  --key 1.92:backspace --key 1.94:backspace --key 1.96:backspace --key 1.98:backspace \
  --key 2.0:backspace --text 2.1:0.4 --key 2.2:return --print-params 2.4 \
  --right-click "2.5:$blend" --list-windows 2.6 --right-click "2.7:$display" --list-windows 2.9 \
  --print-params 3.0 \
  --right-click "3.1:$domain" --list-windows 3.2 --click 3.3:63,475 --key 3.5:down \
  --key 3.6:return --print-params 3.9 --drag "4.0:$display:400,150" \
  --save-chunk "$work/session.chunk"

expect "editor opens as a child of the host's window" '^edit: effEditOpen -> 1$' \
  '^edit: child window IPlugWndClass at 0,0 size 724x526$'
in_order "click on an input switch: one gesture" '^input at 0.30 s: click' \
  '^host call: beginEdit index=2 ' '^host call: automate index=2 .*opt=0.000000' \
  '^host call: endEdit index=2 '
in_order "drag on the domain knob: one gesture" '^input at 0.50 s: drag' \
  '^host call: beginEdit index=0 ' '^host call: automate index=0 ' '^host call: endEdit index=0 ' \
  '^params at 0.90 s' '^param 0: domain = 0\.[0-9]+ \[freq\]$' '^param 2: input 2 = 0.000000 \[off\]$'
in_order "wheel over the display: one edit of each end" '^input at 1.00 s: wheel' \
  '^host call: beginEdit index=13 ' '^host call: beginEdit index=14 ' \
  '^host call: automate index=13 ' '^host call: automate index=14 ' \
  '^host call: endEdit index=13 ' '^host call: endEdit index=14 ' '^input at 1.30 s'
in_order "wheel on a knob: one gesture" '^input at 1.30 s: wheel' \
  '^host call: beginEdit index=12 ' '^host call: automate index=12 .*opt=0.770000' \
  '^host call: endEdit index=12 ' '^param 12: opacity = 0.770000'
in_order "right click opens the number entry on the knob" '^windows at 1.70 s' \
  '^window Edit at 553,459 size 36x16: 0.77$'
in_order "typed value commits on Return" '^input at 2.20 s: key' \
  '^host call: automate index=12 .*opt=0.400000' '^params at 2.40 s' '^param 12: opacity = 0.400000'
in_order "a right click cancels the entry" '^windows at 2.60 s' '^window Edit at 505,459 ' \
  '^windows at 2.90 s' '^window IPlugWndClass' '^params at 3.00 s' \
  '^param 11: blend speed = 0.444444'
if sed -n '/^windows at 2.90 s/,/^params at 3.00 s/p' "$out" | grep -q '^window Edit'; then
  echo "FAIL [a right click cancels the entry]: the entry is still open"
  failures=$((failures + 1))
fi
in_order "domain knob entry lists the domains; a selection commits" '^windows at 3.20 s' \
  '^window ComboBox at .*: time\|freq\|phase$' '^input at 3.50 s: key' \
  '^host call: automate index=0 .*opt=1.000000' '^params at 3.90 s' \
  '^param 0: domain = 1.000000 \[phase\]$'
# A drag on the display pans and zooms as one edit of each zoom parameter, from
# the first move to the release.
drag_calls=$(sed -n '/^input at 4.00 s: drag/,/^edit: effEditIdle/p' "$out")
for index in 13 14 15; do
  edits=$(printf '%s\n' "$drag_calls" | sed -n "s/^host call: \([a-zA-Z]*\) index=$index .*/\1/p" |
    sed 's/^beginEdit$/B/; s/^automate$/A/; s/^endEdit$/E/' | tr -d '\n')
  if [[ "$edits" =~ ^BA+E$ ]]; then
    echo "PASS [drag on the display: one edit of parameter $index ($edits)]"
  else
    echo "FAIL [drag on the display]: parameter $index heard '$edits', not one begin, automation, one end"
    failures=$((failures + 1))
  fi
done
expect "editor closes while the audio runs" 'audio blocks: [1-9][0-9]*$' \
  '^edit: effEditClose -> 1$' '^edit: windows in the host window after closing: 0$' '^edit: done$'
in_order "the state after the session is saved" '^edit: effEditClose -> 1$' \
  '^chunk: saved 136 bytes \(program\) to ' '^edit: done$'
# The saved chunk holds what the session's gestures and entries set.
wine_run "$exe" info "$dll" --load-chunk "$work/session.chunk"
expect "the saved state loads back" '^chunk: loaded 136 bytes \(program\)' \
  '^param 0: domain = 1.000000 \[phase\]' '^param 2: input 2 = 0.000000 \[off\]' \
  '^param 12: opacity = 0.400000'

# Opening twice keeps one window; reopening 200 times leaves nothing behind.
wine_run "$exe" edit "$dll" --open-twice --seconds 0.3 --reopen 200
expect "opening twice keeps one window" '^edit: windows in the host window after opening again: 1$' \
  '^edit: reopened and closed 200 times$' '^edit: done$'
in_order "opening twice keeps the first window's place and size" \
  '^edit: effEditOpen again -> 1$' '^edit: child window IPlugWndClass at 0,0 size 724x526$'
first=$(grep '^edit: windows after the first close:' "$out" | cut -d: -f3)
cycled=$(grep '^edit: windows after the reopen cycles:' "$out" | cut -d: -f3)
if [ -n "$first" ] && [ "$first" = "$cycled" ]; then
  echo "PASS [200 reopen cycles leave the window count at$first]"
else
  echo "FAIL [200 reopen cycles]: windows after the first close '$first', after the cycles '$cycled'"
  failures=$((failures + 1))
fi
gdi_first=$(grep '^edit: gui objects after the first close:' "$out" | cut -d: -f3)
gdi_cycled=$(grep '^edit: gui objects after the reopen cycles:' "$out" | cut -d: -f3)
if [ -z "$gdi_first" ]; then
  echo "NOTE: this system keeps no GDI/USER object counts (wine); the editor's unit tests check its GDI objects one by one"
elif [ "$gdi_first" = "$gdi_cycled" ]; then
  echo "PASS [200 reopen cycles leave the GDI and USER counts at$gdi_first]"
else
  echo "FAIL [200 reopen cycles]: GDI/USER objects after the first close '$gdi_first', after the cycles '$gdi_cycled'"
  failures=$((failures + 1))
fi

# effClose with the editor still open takes the window and its timer down.
wine_run "$exe" edit "$dll" --seconds 0.5 --close-with-editor-open --param "opacity=0.25" \
  --save-chunk "$work/open.chunk"
expect "effClose with the editor open" '^edit: effClose with the editor open$' \
  '^edit: windows in the host window after effClose: 0$' '^edit: done$'
in_order "the state is saved before effClose" '^chunk: saved 136 bytes \(program\) to ' \
  '^edit: effClose with the editor open$'

wine_finish
