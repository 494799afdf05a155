#!/usr/bin/env bash
# Runs one libFuzzer program for a while, seeded with its kept corpus.
#   tools/fuzz/run-fuzzer.sh FUZZER CORPUS SECONDS [libFuzzer options...]
# New inputs go to a scratch folder (VIRLEX_FUZZ_NEW when set, else a temporary one),
# so the kept corpus is only read. An input that crashes is kept under
# fuzz-artifacts/ in the current folder and the run fails.
set -euo pipefail
fuzzer=${1:?fuzzer program}
corpus=${2:?corpus folder}
seconds=${3:?seconds}
shift 3
scratch=${VIRLEX_FUZZ_NEW:-}
if [ -z "$scratch" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
fi
mkdir -p fuzz-artifacts
"$fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2560 -print_final_stats=1 \
  -artifact_prefix="$PWD/fuzz-artifacts/$(basename "$fuzzer")-" "$@" "$scratch" "$corpus"
