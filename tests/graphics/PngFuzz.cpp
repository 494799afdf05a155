// libFuzzer entry: any bytes through the PNG decoder must give a surface or
// null, never a crash, a leak or a huge allocation.
#include <cstddef>
#include <cstdint>

#include "graphics/RasterLoadPng.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  delete RasterLoadPngFromMemory(data, size, nullptr);
  return 0;
}
