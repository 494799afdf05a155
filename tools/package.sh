#!/usr/bin/env bash
# The package command: installs what is missing, builds the Windows DLLs and the native tree
# (module, tools, manual, man pages), and makes
#   build/release/packages/virlex_<version>_amd64.deb     the Debian package
#   build/release/packages/Virlex-<version>-windows.zip   the DLLs with the manual
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh mingw
tools/build.sh mingw64
tools/build.sh release

# cpack stages its work in the folder it runs in unless told otherwise: keep it in the tree.
config=build/release/CPackConfig.cmake
stage=build/release/packages
cpack --config "$config" -G DEB -B "$stage"
cpack --config "$config" -G ZIP -B "$stage"
echo "packages:"
ls -l build/release/packages/*.deb build/release/packages/*.zip
