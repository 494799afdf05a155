#!/usr/bin/env bash
# Runs one wine test script for one Windows architecture.
#   run_wine.sh 32|64 PROBE_RESULT SCRIPT ARGS...
# Exports WINE, the loader for that architecture, for SCRIPT. For 32, when the
# probe (wine32_probe.sh) found that this machine cannot run 32-bit programs, the
# test is skipped (exit 77) with the probe's reason instead of failing. The
# 64-bit loader is used directly, so the 64-bit tests never need 32-bit support.
set -u

arch=${1:?usage: run_wine.sh 32|64 PROBE_RESULT SCRIPT ARGS...}
probe=$2
script=$3
shift 3

case "$arch" in
  32)
    answer=$(cat "$probe" 2>/dev/null || echo "no: the 32-bit probe left no answer in $probe")
    if [ "$answer" != yes ]; then
      echo "SKIP: this machine cannot run 32-bit Windows programs (${answer#no: })"
      exit 77
    fi
    WINE=$(command -v wine || true)
    ;;
  64)
    WINE=/usr/lib/wine/wine64
    [ -x "$WINE" ] || WINE=$(command -v wine64 || true)
    ;;
  *)
    echo "FAIL: unknown architecture '$arch'"
    exit 1
    ;;
esac
if [ -z "$WINE" ] || ! command -v xvfb-run >/dev/null; then
  echo "SKIP: wine for $arch-bit programs or xvfb-run is not installed"
  exit 77
fi
export WINE
exec bash "$script" "$@"
