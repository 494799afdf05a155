#!/usr/bin/env bash
# The package command: installs what is missing, builds the Windows DLLs and the native tree
# (module, tools, manual, man pages), and makes
#   build/release/packages/virlex_<version>_amd64.deb     the Debian package
#   build/release/packages/Virlex-<version>-windows.zip   the DLLs with the manual
# The zip holds the 32-bit DLL, and the 64-bit one where its tool chain is in the tree.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh mingw
if [ -f cmake/mingw-w64-x86_64.cmake ]; then
  tools/build.sh mingw64
fi
tools/build.sh release

config=build/release/CPackConfig.cmake
cpack --config "$config" -G DEB
cpack --config "$config" -G ZIP
echo "packages:"
ls -l build/release/packages/*.deb build/release/packages/*.zip
