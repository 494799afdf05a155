#pragma once

#include <cstdint>

// One MIDI message with its position in the current block.
struct MidiMsg {
  std::int32_t offset = 0;  // sample offset within the block
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};
