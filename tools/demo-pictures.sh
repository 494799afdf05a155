#!/usr/bin/env bash
# Renders what the editor shows for the render tool's demo signal, one picture per
# domain, each at a moment where it shows best, into the folder given (default
# out/). tools/demo.sh calls it for out/; the README's pictures in doc/pictures/
# are made by it too: tools/demo-pictures.sh doc/pictures
# Needs the optimised tree (tools/build.sh release).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${1:-out}
render="$root/build/release/tools/virlex-render/virlex-render"
mkdir -p "$dir"
# Time: the last 20 ms, held still by the trigger at -10 dB, so the offset waveforms
# of inputs 1/2 and the chord of 3/4 can be read.
"$render" --domain time --param "X zoom low=0.98" --param "hold=-10 dB" --at 2 -o "$dir/demo-time.png"
# Frequency: after two seconds the smoothed spectra have settled.
"$render" --domain freq --at 2 -o "$dir/demo-freq.png"
# Phase: at 1 s the pair 1/2 is an eighth of a turn apart.
"$render" --domain phase --at 1 -o "$dir/demo-phase.png"
