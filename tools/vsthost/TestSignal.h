// The built-in input used when no audio file is given: deterministic and easy to
// recognise on a scope.
#pragma once

#include <cstddef>

#include "tools/vsthost/audio/AudioData.h"

namespace vsthost {

// Channel 1: 440 Hz sine at half scale. Channel 2: the same sine a quarter period
// later (cosine), so the phase display draws a circle. Channel 3: an A major chord.
// Channel 4: white noise from a fixed seed. Further channels: sines at 110 Hz steps.
AudioData MakeTestSignal(int channels, std::size_t frames, int sampleRate);

}  // namespace vsthost
