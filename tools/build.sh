#!/usr/bin/env bash
# Configures and builds one of the project's build trees under build/.
#   tools/build.sh release   native optimised build with -Werror (module, tools, tests, benchmarks)
#   tools/build.sh asan      native debug build under AddressSanitizer + UBSan (tests only)
#   tools/build.sh mingw     the 32-bit Windows DLL and vsthost.exe, cross compiled
#   tools/build.sh mingw64   the 64-bit Windows DLL and vsthost.exe, cross compiled
#   tools/build.sh fuzz      clang with libFuzzer, ASan and UBSan: the fuzzers only
#   tools/build.sh tsan      clang with ThreadSanitizer: the thread and real-time tests only
# Extra arguments go to CMake's configure step.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kind=${1:?usage: tools/build.sh release|asan|mingw|mingw64|fuzz|tsan [cmake args...]}
shift
jobs=${VIRLEX_BUILD_JOBS:-$(nproc)}
targets=()  # empty: everything

case "$kind" in
  release)
    args=(-DCMAKE_BUILD_TYPE=Release -DVIRLEX_WERROR=ON)
    # The wine tests run whichever Windows builds are finished.
    if [ -f "$root/build/mingw/Virlex.dll" ]; then
      args+=("-DVIRLEX_WINDOWS_BUILD=$root/build/mingw")
    fi
    # The 64-bit DLL goes into the Windows zip beside the 32-bit one, and is tested.
    if [ -f "$root/build/mingw64/Virlex.dll" ]; then
      args+=("-DVIRLEX_WINDOWS_BUILD64=$root/build/mingw64")
    fi
    ;;
  asan)
    args=(-DCMAKE_BUILD_TYPE=Debug -DVIRLEX_SANITIZE=ON -DVIRLEX_WERROR=ON -DVIRLEX_BUILD_BENCH=OFF
          -DVIRLEX_BUILD_MANUAL=OFF)
    ;;
  mingw)
    args=(-DCMAKE_BUILD_TYPE=Release -DVIRLEX_WERROR=ON
          "-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-w64-i686.cmake")
    ;;
  mingw64)
    args=(-DCMAKE_BUILD_TYPE=Release -DVIRLEX_WERROR=ON
          "-DCMAKE_TOOLCHAIN_FILE=$root/cmake/mingw-w64-x86_64.cmake")
    ;;
  fuzz)
    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIRLEX_FUZZ=ON -DVIRLEX_BUILD_BENCH=OFF
          -DVIRLEX_BUILD_MANUAL=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
    targets=(chunk_fuzz dispatch_fuzz png_fuzz)
    ;;
  tsan)
    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIRLEX_TSAN=ON -DVIRLEX_BUILD_BENCH=OFF
          -DVIRLEX_BUILD_MANUAL=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
    targets=(thread_stress_tests realtime_tests)
    ;;
  *)
    echo "tools/build.sh: unknown build '$kind' (release, asan, mingw, mingw64, fuzz or tsan)" >&2
    exit 2
    ;;
esac

cmake -S "$root" -B "$root/build/$kind" "${args[@]}" "$@"
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$root/build/$kind" -j "$jobs" --target "${targets[@]}"
else
  cmake --build "$root/build/$kind" -j "$jobs"
fi
