#!/usr/bin/env bash
# Runs the Win32 editor's test program under wine (run by run_wine.sh, which sets
# WINE) and requires its closing line to report every test passed.
# Usage: editor_unit.sh TEST_EXE
set -u
exe=${1:?usage: editor_unit.sh TEST_EXE}
[ -f "$exe" ] || { echo "FAIL: $exe does not exist (is the Windows build finished?)"; exit 1; }
source "$(dirname "${BASH_SOURCE[0]}")/wine_session.sh"

wine_run "$exe"
cat "$out"
expect "editor unit tests" '^[1-9][0-9]* passed, 0 failed$'
wine_finish
