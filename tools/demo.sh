#!/usr/bin/env bash
# The main job on its built-in default: builds everything, loads the plug-in through
# its VST entry in our host tool and plays the built-in demo signal through it, then
# renders what the editor shows for the render tool's demo signal in each of the
# three domains, each at a moment where it shows best. Results go to out/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh release
mkdir -p out

module=build/release/Virlex.so
host=build/release/tools/vsthost/vsthost
"$host" info "$module" | tee out/info.txt
"$host" process "$module" --expect-passthrough -o out/demo.wav

tools/demo-pictures.sh out
echo "demo: wrote out/info.txt, out/demo.wav, out/demo-time.png, out/demo-freq.png and out/demo-phase.png"
