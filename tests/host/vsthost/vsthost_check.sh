#!/usr/bin/env bash
# Module-level checks of vsthost: runs the built tool on a plug-in and checks what it
# prints. Usage: vsthost_check.sh CASE VSTHOST PLUGIN [ARGS...]
# Exit 0 pass, 1 fail, 77 skipped (the plug-in is not installed).
set -u

case_name=$1 vsthost=$2 plugin=$3
shift 3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL [$case_name]: $*"; exit 1; }

# run ARGS...: runs vsthost, keeping stdout in $work/out, stderr in $work/err, status in $rc.
run() {
  "$vsthost" "$@" >"$work/out" 2>"$work/err"
  rc=$?
}

expect_rc() { [ "$rc" = "$1" ] || { cat "$work/out" "$work/err"; fail "exit code $rc, expected $1 (vsthost $*)"; }; }
expect_line() { grep -qE "$1" "$work/out" || { cat "$work/out"; fail "no line matching '$1'"; }; }
expect_no_line() { ! grep -qE "$1" "$work/out" || { cat "$work/out"; fail "unexpected line matching '$1'"; }; }
expect_err() { grep -qE "$1" "$work/err" || { cat "$work/err"; fail "no error matching '$1'"; }; }

require_plugin() {
  if [ ! -f "$plugin" ]; then
    echo "SKIP: plug-in $plugin not found (not installed, or not built yet)"
    exit 77
  fi
}

case "$case_name" in
  load_error)  # ARGS: pattern the error message must match
    run info "$plugin"
    expect_rc 2
    expect_err "$1"
    ;;

  info)  # ARGS: extended regexes that must each match a line of the info output
    require_plugin
    run info "$plugin"
    expect_rc 0
    for pattern in "$@"; do expect_line "$pattern"; done
    # Every parameter is listed with a name.
    if grep -qE '^param [0-9]+: ( |=)' "$work/out"; then fail "a parameter has no name"; fi
    ;;

  passthrough)  # ARGS: process mode, then extra options
    require_plugin
    mode=$1
    shift
    run process "$plugin" --mode "$mode" --block 256 --frames 9000 -o "$work/out.wav" \
      --expect-passthrough "$@"
    expect_rc 0
    expect_line '^vsthost: processed 9000 frames .*OK$'
    expect_line '^vsthost: passthrough OK: '
    [ -s "$work/out.wav" ] || fail "no output file written"
    # The same audio read back from a file gives the same verdict.
    run process "$plugin" "$work/out.wav" --mode "$mode" --block 100 --expect-passthrough "$@"
    expect_rc 0
    expect_line '^vsthost: passthrough OK: '
    ;;

  passthrough_fails)  # ARGS: options that make the plug-in change its audio
    require_plugin
    run process "$plugin" --frames 2000 --expect-passthrough "$@"
    expect_rc 3
    expect_line '^vsthost: processed 2000 frames .*OK$'
    expect_line '^vsthost: passthrough FAILED: channel 1 differs at frame'
    ;;

  chunk_size)  # ARGS: program|bank, expected size in bytes
    require_plugin
    run info "$plugin" --chunk "$1" --save-chunk "$work/chunk.bin"
    expect_rc 0
    expect_line "^chunk: saved $2 bytes \\($1\\)"
    size=$(wc -c <"$work/chunk.bin")
    [ "$size" = "$2" ] || fail "chunk file holds $size bytes, expected $2"
    ;;

  chunk_roundtrip)  # ARGS: program|bank, then --param settings that change the state
    require_plugin
    kind=$1
    shift
    run info "$plugin" "$@" --chunk "$kind" --save-chunk "$work/a.bin"
    expect_rc 0
    grep -E '^param [0-9]+:' "$work/out" >"$work/changed"
    run info "$plugin"
    grep -E '^param [0-9]+:' "$work/out" >"$work/default"
    cmp -s "$work/changed" "$work/default" && fail "the --param settings changed nothing"
    run info "$plugin" --chunk "$kind" --load-chunk "$work/a.bin" --save-chunk "$work/b.bin"
    expect_rc 0
    expect_line "^chunk: loaded [0-9]+ bytes \\($kind\\)"
    grep -E '^param [0-9]+:' "$work/out" >"$work/restored"
    diff "$work/changed" "$work/restored" || fail "parameters differ after loading the chunk"
    cmp "$work/a.bin" "$work/b.bin" || fail "the chunk saved after loading differs"
    ;;

  host_identity)  # the plug-in must ask for the product, and for the version only when named
    require_plugin
    run info "$plugin" --product 'REAPER' --vendor-version 50102 --trace-host
    expect_rc 0
    expect_line '^host call: getProductString .*-> 1$'
    expect_line '^host call: getVendorVersion .*-> 50102$'
    run info "$plugin" --product '' --trace-host
    expect_rc 0
    expect_line '^host call: getProductString '
    expect_no_line '^host call: getVendorVersion '
    ;;

  automation_trace)  # ARGS: expected automate/beginEdit/endEdit counts
    require_plugin
    run info "$plugin" --trace-host
    expect_rc 0
    expect_line "^host automate: $1\$"
    expect_line "^host beginEdit: $2\$"
    expect_line "^host endEdit: $3\$"
    expect_line '^host call: automate index=0 '
    ;;

  stress)  # ARGS: stress options
    require_plugin
    run stress "$plugin" "$@"
    expect_rc 0
    expect_line '^stress: process calls [1-9][0-9]* '
    expect_line '^stress: block sizes( [0-9]+){2,}$'
    expect_line '^stress: OK$'
    ;;

  stress_fails)  # ARGS: stress options under which the plug-in must be caught
    require_plugin
    run stress "$plugin" "$@"
    expect_rc 3
    expect_err '^vsthost: error: stress cycle [0-9]+: output [0-9]+ sample [0-9]+ is not input'
    ;;

  bad_arguments)
    run process "$plugin" --block 0
    expect_rc 1
    expect_err 'invalid value .0. for --block'
    run info "$plugin" --param 'nosuch=0.5'
    [ -f "$plugin" ] && { expect_rc 2; expect_err "no parameter named 'nosuch'"; }
    run info "$plugin" --param '0=1.5'
    expect_rc 1
    run stress "$plugin" --cycles 0
    expect_rc 1
    expect_err 'invalid value .0. for --cycles'
    run stress
    expect_rc 1
    expect_err 'stress needs the path of a plug-in'
    ;;

  *)
    fail "unknown case"
    ;;
esac
echo "PASS [$case_name]"
