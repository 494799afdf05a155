#!/usr/bin/env bash
# Makes the README's picture of the editor inside a host: Ardour's GUI opens Virlex from the
# release tree's module while a session plays (tests/host/ardour/gui.sh), and its editor
# window is written to docs/editor-in-ardour.png. Build the release tree first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
module="$root/build/release/Virlex.so"
[[ -f "$module" ]] || { echo "no $module: run tools/build.sh release first" >&2; exit 1; }
bash "$root/tests/host/ardour/gui.sh" "$module" "$root/docs/editor-in-ardour.png"
