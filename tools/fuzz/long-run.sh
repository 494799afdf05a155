#!/usr/bin/env bash
# The long fuzzing runs (not part of the test command): each fuzzer in turn for
# SECONDS (default 1800), one at a time and under nice, seeded with its kept
# corpus. Inputs that reach new code are merged back into the kept corpus
# (tests/fuzz/*_corpus, tests/graphics/png_corpus); a crash stops the run and is
# kept under build/fuzz/fuzz-artifacts/. Builds the fuzz tree first.
#   tools/fuzz/long-run.sh [SECONDS] [chunk|dispatch|png ...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
seconds=${1:-1800}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(chunk dispatch png)

"$root/tools/build.sh" fuzz
cd "$root/build/fuzz"
for target in "${targets[@]}"; do
  case "$target" in
    chunk | dispatch)
      fuzzer=tests/fuzz/${target}_fuzz
      corpus=$root/tests/fuzz/${target}_corpus
      ;;
    png)
      fuzzer=tests/graphics/png_fuzz
      corpus=$root/tests/graphics/png_corpus
      ;;
    *)
      echo "long-run.sh: unknown fuzzer '$target' (chunk, dispatch or png)" >&2
      exit 2
      ;;
  esac
  found=$(mktemp -d)
  echo "== $target: ${seconds} s"
  VIRLEX_FUZZ_NEW=$found nice -n 10 bash "$root/tools/fuzz/run-fuzzer.sh" "$fuzzer" "$corpus" \
    "$seconds" >"fuzz-$target.log" 2>&1 || { tail -n 40 "fuzz-$target.log"; exit 1; }
  grep -E "^(Done|stat::)" "fuzz-$target.log" || true
  # Keep what reaches code the kept corpus does not: libFuzzer's merge picks it out.
  nice -n 10 "$fuzzer" -merge=1 -artifact_prefix=fuzz-artifacts/ "$corpus" "$found" >/dev/null 2>&1 || true
  rm -rf "$found"
done
