#!/usr/bin/env bash
# The Windows zip as cpack makes it from this build and the mingw-w64 trees it names:
#   - one folder per DLL (32-bit, 64-bit), each with the manual beside the DLL, and a short
#     install text with Windows line ends;
#   - the DLLs are the built ones, for the right processor;
#   - under wine, the unpacked 32-bit plug-in's logo leads to the manual in its own folder.
# Usage: zip_check.sh BUILD_DIR WINDOWS_BUILD_32 WINDOWS_BUILD_64 (either may be empty)
# Exit status: 0 pass, 1 fail, 77 skipped (no Windows build or no manual to pack).
set -u

build="${1:?usage: zip_check.sh BUILD_DIR WINDOWS_BUILD_32 WINDOWS_BUILD_64}"
win32="${2:-}"
win64="${3:-}"
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
step() { echo "== $*"; }

[[ -n "$win32$win64" ]] || skip "no Windows build configured (VIRLEX_WINDOWS_BUILD, VIRLEX_WINDOWS_BUILD64)"
[[ -f "$build/Virlex_manual.pdf" ]] || skip "no manual in $build (pandoc and weasyprint are needed to build it)"
command -v unzip >/dev/null || skip "unzip is not installed"

work="$(mktemp -d "${TMPDIR:-/tmp}/virlex-zip.XXXXXX")" || fail "cannot make a temporary folder"
cleanup() {
  if [[ -n "${WINEPREFIX:-}" ]]; then wineserver -k >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

step "cpack -G ZIP"
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work/cpack" -D CPACK_OUTPUT_FILE_PREFIX="$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack -G ZIP failed"; }
zip="$work/out/Virlex-$version-windows.zip"
[[ -f "$zip" ]] || { ls -l "$work/out"; fail "cpack made no $(basename "$zip")"; }
unzip -q "$zip" -d "$work/unzipped" || fail "the zip does not unpack"
top="$work/unzipped/Virlex-$version-windows"
[[ -d "$top" ]] || fail "the zip has no top folder Virlex-$version-windows"
( cd "$work/unzipped" && find . -type f | sort )

step "contents"
[[ -f "$top/INSTALL.txt" ]] || fail "no INSTALL.txt"
grep -q $'\r$' "$top/INSTALL.txt" || fail "INSTALL.txt does not have Windows line ends"
grep -q "Virlex_manual.pdf" "$top/INSTALL.txt" || fail "INSTALL.txt does not mention the manual"
check_part() {  # folder name, build folder, objdump format
  local dir="$top/$1"
  [[ -f "$dir/Virlex.dll" && -f "$dir/Virlex_manual.pdf" ]] || fail "$1 lacks Virlex.dll or the manual"
  cmp -s "$dir/Virlex.dll" "$2/Virlex.dll" || fail "$1/Virlex.dll is not the DLL of $2"
  cmp -s "$dir/Virlex_manual.pdf" "$build/Virlex_manual.pdf" || fail "$1/Virlex_manual.pdf is not the built manual"
  if command -v objdump >/dev/null; then
    objdump -f "$dir/Virlex.dll" | grep -q "$3" || fail "$1/Virlex.dll is not $3"
  fi
}
if [[ -n "$win32" ]]; then check_part 32-bit "$win32" pei-i386; else [[ ! -e "$top/32-bit" ]] || fail "a 32-bit folder without a 32-bit build"; fi
if [[ -n "$win64" ]]; then check_part 64-bit "$win64" pei-x86-64; else [[ ! -e "$top/64-bit" ]] || fail "a 64-bit folder without a 64-bit build"; fi

step "the logo link of the unpacked DLLs under wine"
if ! command -v wine >/dev/null; then
  echo "note: wine is not installed; the links under Windows were not checked"
  echo "PASS: $(basename "$zip")"
  exit 0
fi
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
check_link() {  # folder name, build folder (its vsthost.exe loads the DLL as a host would)
  local host="$2/tools/vsthost/vsthost.exe" dir="$top/$1" trace url expected
  if [[ ! -f "$host" ]]; then
    echo "note: no $host; the $1 link was not checked"
    return
  fi
  trace="$(VIRLEX_TRACE=1 timeout 300 wine "$host" info "$dir/Virlex.dll" 2>&1 >/dev/null | tr -d '\r')"
  url="$(sed -n "s/^virlex: ILinkWidget::ILinkWidget:[0-9]*: url '\(.*\)'$/\1/p" <<<"$trace" | head -n 1)"
  [[ -n "$url" ]] || { echo "$trace" | tail -n 20; fail "no link address traced for $1 under wine"; }
  # wine shows the unpacked folder as drive Z:, with backslashes.
  expected="Z:$(tr '/' '\\' <<<"$dir")\\Virlex_manual.pdf"
  [[ "${url,,}" == "${expected,,}" ]] || fail "the $1 logo leads to '$url', expected '$expected'"
  echo "$1 logo -> $url"
}
[[ -z "$win32" ]] || check_link 32-bit "$win32"
[[ -z "$win64" ]] || check_link 64-bit "$win64"
echo "PASS: $(basename "$zip")"
