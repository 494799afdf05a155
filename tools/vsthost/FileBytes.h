// Whole files as byte vectors (WAV images, state chunks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

// Reads a whole file; refuses one larger than maxBytes rather than allocating blindly.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes,
                   std::string& error);

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    std::string& error);

}  // namespace vsthost
