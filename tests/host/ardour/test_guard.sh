#!/usr/bin/env bash
# guard.sh must tell a host's own crash from a crash inside the module, and a clean end from
# both. Usage: test_guard.sh CRASH_HELPER CRASH_MODULE. Exit 0 pass, 1 fail, 77 skipped.
set -u
helper=$1 module=$2
source "$(dirname "${BASH_SOURCE[0]}")/guard.sh"
[[ -n "$guard_gdb" ]] || { echo "SKIP: gdb cannot run programs here"; exit 77; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
fail() { echo "FAIL: $*"; cat "$log"; exit 1; }

guarded_run "$log" "$module" 60 "$helper" clean "$module"
[[ $guard_status == 0 && -z $guard_crash ]] || fail "clean end: status $guard_status, crash '$guard_crash'"
guarded_run "$log" "$module" 60 "$helper" exit3 "$module"
[[ $guard_status == 3 && -z $guard_crash ]] || fail "exit 3: status $guard_status, crash '$guard_crash'"
guarded_run "$log" "$module" 60 "$helper" own "$module"
[[ $guard_status == 134 && $guard_crash == ardour ]] || fail "own abort: status $guard_status, crash '$guard_crash'"
guarded_run "$log" "$module" 60 "$helper" module "$module"
[[ $guard_status == 139 && $guard_crash == ours ]] || fail "crash in the module: status $guard_status, crash '$guard_crash'"
guard_stack "$log" | grep -q CrashInsideTheModule || fail "the kept stack does not show the module's frame"
echo "PASS: clean, exit code, the host's own abort and a crash in the module told apart"
