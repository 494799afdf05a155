#!/usr/bin/env bash
# Runs the Windows build's vsthost.exe on its Virlex.dll under wine, in a throw-away
# wine prefix on a virtual X display, and checks the tool's explicit success lines.
# The exit status alone proves nothing: wine exits 0 having printed nothing when it
# cannot start a 32-bit program. Usage: wine_check.sh VSTHOST_EXE PLUGIN_DLL
# Exit 0 pass, 1 fail, 77 skipped (wine or xvfb-run missing).
set -u

exe=$1 dll=$2
for tool in wine xvfb-run; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
for file in "$exe" "$dll"; do
  [ -f "$file" ] || { echo "FAIL: $file does not exist (is the Windows build finished?)"; exit 1; }
done

export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d)
out=$(mktemp)
work=$(mktemp -d)
cleanup() {
  wineserver -w 2>/dev/null  # this prefix's server holds files open until it exits
  rm -rf "$WINEPREFIX" "$out" "$work"
}
trap cleanup EXIT

failures=0
# check NAME ARGS... -- PATTERNS...: runs vsthost.exe ARGS and requires every pattern.
check() {
  local name=$1
  shift
  local args=()
  while [ "$1" != "--" ]; do args+=("$1"); shift; done
  shift
  xvfb-run -a "${WINE:-wine}" "$exe" "${args[@]}" 2>&1 | tr -d '\r' >"$out"
  for pattern in "$@"; do
    if ! grep -qE "$pattern" "$out"; then
      echo "FAIL [$name]: no line matching '$pattern'; the output was:"
      cat "$out"
      failures=$((failures + 1))
      return
    fi
  done
  echo "PASS [$name]"
}

check info info "$dll" -- '^name: Virlex$' '^vendor: Orbek$' '^inputs: 4$' '^outputs: 2$' \
  '^params: 16$' '^program 0: Default$'
for mode in replacing accumulating double; do
  check "passthrough $mode" process "$dll" --mode "$mode" --expect-passthrough -- \
    '^vsthost: processed 48000 frames .*OK$' '^vsthost: passthrough OK: 2 channels identical$'
done
# The built-in WAV writer and reader: the written output, fed back in, passes through.
cd "$work" || exit 1
check "wav write" process "$dll" --format pcm24 -o roundtrip.wav -- '^vsthost: processed 48000 frames .*OK$'
check "wav read" process "$dll" roundtrip.wav --expect-passthrough -- \
  '^vsthost: processed 48000 frames \(2 in, 2 out' '^vsthost: passthrough OK: 2 channels identical$'
check "missing module" info 'C:\no\such\plugin.dll' -- '^vsthost: error: cannot load module'

[ "$failures" = 0 ] || { echo "$failures wine check(s) failed"; exit 1; }
echo "all wine checks passed"
