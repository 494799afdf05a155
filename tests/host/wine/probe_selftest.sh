#!/usr/bin/env bash
# The 32-bit probe and the skip: a loader that fails as on a kernel without 32-bit
# emulation gives "no" with the reason, and run_wine.sh then skips (77) without
# running the test; a loader that starts gives "yes" and the test runs.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

printf '#!/bin/sh\necho "$0: cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$work/no32"
printf '#!/bin/sh\necho wine-8.0\n' >"$work/yes32"
chmod +x "$work/no32" "$work/yes32"
printf '#!/bin/sh\necho ran\n' >"$work/test.sh"

VIRLEX_WINE32_LOADER="$work/no32" bash "$here/wine32_probe.sh" "$work/answer" >/dev/null
answer=$(cat "$work/answer")
case "$answer" in
  "no: "*"Exec format error"*) echo "PASS: a failing loader gives: $answer" ;;
  *) fail "a failing loader gave '$answer'" ;;
esac
skip=$(bash "$here/run_wine.sh" 32 "$work/answer" "$work/test.sh")
code=$?
[ "$code" = 77 ] || fail "the 32-bit test exited $code, not 77 (skipped)"
case "$skip" in
  "SKIP: this machine cannot run 32-bit Windows programs"*"Exec format error"*)
    echo "PASS: skipped with: $skip" ;;
  *) fail "the skip said '$skip'" ;;
esac

VIRLEX_WINE32_LOADER="$work/nothing-here" bash "$here/wine32_probe.sh" "$work/answer" >/dev/null
grep -q '^no: .*not installed' "$work/answer" || fail "a missing loader gave '$(cat "$work/answer")'"

VIRLEX_WINE32_LOADER="$work/yes32" bash "$here/wine32_probe.sh" "$work/answer" >/dev/null
[ "$(cat "$work/answer")" = yes ] || fail "a working loader gave '$(cat "$work/answer")'"
if command -v wine >/dev/null && command -v xvfb-run >/dev/null; then
  ran=$(bash "$here/run_wine.sh" 32 "$work/answer" "$work/test.sh")
  [ "$ran" = ran ] || fail "with 32-bit support the test did not run: '$ran'"
fi
rm -f "$work/answer"
missing=$(bash "$here/run_wine.sh" 32 "$work/answer" "$work/test.sh")
[ $? = 77 ] || fail "without an answer the 32-bit test was not skipped: '$missing'"

[ "$failures" = 0 ] || exit 1
echo "probe checks passed"
