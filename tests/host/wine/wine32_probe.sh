#!/usr/bin/env bash
# Finds out once whether this machine can run 32-bit Windows programs and writes
# the answer to RESULT_FILE: "yes", or "no: <reason>". Some Linux kernels lack
# 32-bit emulation; there wine's 32-bit loader fails with "Exec format error".
# The 32-bit wine tests read the answer and skip with its reason.
#
# Usage: wine32_probe.sh RESULT_FILE
# VIRLEX_WINE32_LOADER names the loader to try (default /usr/lib/wine/wine), so
# the probe can be tried against a loader that fails on purpose.
set -u

result=${1:?usage: wine32_probe.sh RESULT_FILE}
loader=${VIRLEX_WINE32_LOADER:-/usr/lib/wine/wine}

if [ ! -e "$loader" ]; then
  answer="no: the 32-bit wine loader $loader is not installed (wine32)"
else
  # The loader is a 32-bit program itself: starting it is the whole question.
  if message=$("$loader" --version 2>&1); then
    answer=yes
  else
    answer="no: $loader cannot run here: $(printf '%s' "$message" | tr '\n' ' ' | cut -c1-200)"
  fi
fi
printf '%s\n' "$answer" >"$result"
echo "32-bit Windows programs: $answer"
exit 0
