#!/usr/bin/env bash
# The test command: installs what is missing, builds every tree and runs every test.
#   1. the 32- and 64-bit Windows DLLs with their vsthost.exe and test programs
#      (cross builds), for the wine tests;
#   2. the optimised native build: unit tests, the module through vsthost, Ardour
#      as a real host, both Windows DLLs and their editors under wine;
#   3. the debug build under AddressSanitizer and UBSan: every unit test again, and
#      the editor in its X11 window;
#   4. the ThreadSanitizer build: the module from every host thread at once;
#   5. the fuzz build: each libFuzzer program for a short while on its kept corpus.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh mingw
tools/build.sh mingw64
tools/build.sh release
tools/build.sh asan
tools/build.sh tsan
tools/build.sh fuzz

ctest --test-dir build/release --output-on-failure -j "$(nproc)"
ctest --test-dir build/asan --output-on-failure -L 'unit|x11|tsan' -j "$(nproc)"
VIRLEX_STRESS_SECONDS=6 ctest --test-dir build/tsan --output-on-failure -L tsan
ctest --test-dir build/fuzz --output-on-failure -L fuzz
