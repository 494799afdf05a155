// Chunks as a host hands them in: the first byte picks bank or program, the rest
// is the chunk. Whatever it holds, the plug-in keeps its parameters in range, and
// every chunk it writes afterwards loads again unchanged, also when a host hands
// back the very buffer it was lent.
#include <cstring>
#include <vector>

#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/FuzzTargets.h"
#include "tests/support/QuietHost.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

namespace {

std::vector<float> Values(vst::AEffect* e) {
  std::vector<float> values;
  for (vst::int32 i = 0; i < e->numParams; ++i) values.push_back(e->getParameter(e, i));
  return values;
}

// Gets a chunk of the kind, loads a copy and then the lent buffer itself.
void RoundTrip(vst::AEffect* e, vst::int32 kind) {
  void* lent = nullptr;
  const vst::intptr size = Call(e, vst::effGetChunk, kind, 0, &lent);
  FuzzCheck(size > 0 && lent != nullptr, "the plug-in gave no chunk");
  const auto* bytes = static_cast<const std::uint8_t*>(lent);
  std::vector<std::uint8_t> copy(bytes, bytes + size);
  const std::vector<float> before = Values(e);
  FuzzCheck(Call(e, vst::effSetChunk, kind, size, copy.data()) == 1,
            "a chunk the plug-in wrote does not load");
  FuzzCheck(Values(e) == before, "reloading its own chunk changed a parameter");
  lent = nullptr;
  const vst::intptr again = Call(e, vst::effGetChunk, kind, 0, &lent);
  FuzzCheck(again == size && std::memcmp(lent, copy.data(), copy.size()) == 0,
            "the chunk written after a reload differs");
  FuzzCheck(Call(e, vst::effSetChunk, kind, again, lent) == 1, "the lent buffer does not load");
  FuzzCheck(Values(e) == before, "loading the lent buffer changed a parameter");
}

}  // namespace

void FuzzChunks(const std::uint8_t* data, std::size_t size) {
  vst::AEffect* e = VSTPluginMain(&QuietHostCallback);
  FuzzCheck(e != nullptr, "no instance");
  Call(e, vst::effOpen);
  const vst::int32 kind = size > 0 && (data[0] & 1) != 0 ? 0 : 1;
  std::vector<std::uint8_t> chunk;
  if (size > 1) chunk.assign(data + 1, data + size);
  std::uint8_t none = 0;
  Call(e, vst::effSetChunk, kind, static_cast<vst::intptr>(chunk.size()),
       chunk.empty() ? &none : chunk.data());
  CheckParameters(e);
  RoundTrip(e, 0);
  RoundTrip(e, 1);
  // Switching to the program the bank named leaves everything in range.
  Call(e, vst::effSetProgram, 0, 0);
  CheckParameters(e);
  Call(e, vst::effClose);
}
