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

render=build/release/tools/virlex-render/virlex-render
# Time: the last 20 ms, held still by the trigger at -10 dB, so the offset waveforms
# of inputs 1/2 and the chord of 3/4 can be read.
"$render" --domain time --param "X zoom low=0.98" --param "hold=-10 dB" --at 2 -o out/demo-time.png
# Frequency: after two seconds the smoothed spectra have settled.
"$render" --domain freq --at 2 -o out/demo-freq.png
# Phase: at 1 s the pair 1/2 is an eighth of a turn apart.
"$render" --domain phase --at 1 -o out/demo-phase.png
echo "demo: wrote out/info.txt, out/demo.wav, out/demo-time.png, out/demo-freq.png and out/demo-phase.png"
