#!/usr/bin/env bash
# A Windows plug-in DLL exports exactly VSTPluginMain and main and imports only
# DLLs every Windows system has, so it loads in any host without a runtime beside it.
# Usage: dll_check.sh PLUGIN_DLL
set -u
dll=${1:?usage: dll_check.sh PLUGIN_DLL}
[ -f "$dll" ] || { echo "FAIL: $dll does not exist (is the Windows build finished?)"; exit 1; }
command -v objdump >/dev/null || { echo "SKIP: objdump is not installed"; exit 77; }
table=$(objdump -p "$dll") || { echo "FAIL: objdump cannot read $dll"; exit 1; }
failures=0

exports=$(printf '%s\n' "$table" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
if [ "$exports" = "VSTPluginMain main " ]; then
  echo "PASS: exports $exports"
else
  echo "FAIL: exports '$exports', wanted 'VSTPluginMain main'"
  failures=$((failures + 1))
fi

system="kernel32.dll user32.dll gdi32.dll comdlg32.dll shell32.dll wininet.dll msvcrt.dll advapi32.dll ole32.dll"
for name in $(printf '%s\n' "$table" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
  case " $system " in
    *" $name "*) echo "PASS: imports $name" ;;
    *) echo "FAIL: imports $name, which is not part of Windows"; failures=$((failures + 1)) ;;
  esac
done
[ "$failures" = 0 ] || exit 1
echo "the DLL needs nothing beyond the system"
