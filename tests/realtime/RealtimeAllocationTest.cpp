// What a host may call on its audio thread (process, setParameter, getParameter)
// allocates nothing, with the editor attached and from a fresh instance on: a change
// of the fft size, the first to the largest size included.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "iplug/IPlugVST.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/QuietHost.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

namespace {

vst::intptr Call(vst::AEffect* e, vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                 void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

TEST(RealtimeAllocation, AudioThreadCallsAllocateNothing) {
  vst::AEffect* e = VSTPluginMain(&QuietHostCallback);
  ASSERT_NE(e, nullptr);
  Call(e, vst::effOpen);
  Call(e, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Call(e, vst::effSetBlockSize, 0, 512);
  Call(e, vst::effMainsChanged, 0, 1);
  Call(e, vst::effEditOpen);
  auto* graphics = dynamic_cast<IGraphicsOffscreen*>(IPlugVST::FromEffect(e)->Graphics());
  ASSERT_NE(graphics, nullptr);
  std::vector<float> in(512, 0.25f), out[2] = {std::vector<float>(512), std::vector<float>(512)};
  float* ins[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[2] = {out[0].data(), out[1].data()};
  for (int i = 0; i < 100; ++i) e->processReplacing(e, ins, outs, 512);
  graphics->Tick();

  const long before = AllocationCount();
  for (int round = 0; round < 4; ++round) {
    for (vst::int32 index = 0; index < 16; ++index) {
      for (float value : {0.0f, 0.3f, 0.5f, 0.8f, 1.0f}) {
        e->setParameter(e, index, value);
        e->getParameter(e, index);
        e->processReplacing(e, ins, outs, 512);
      }
    }
  }
  EXPECT_EQ(AllocationCount() - before, 0);
  graphics->Tick();  // the editor takes the changes in on its own thread
  Call(e, vst::effEditClose);
  Call(e, vst::effClose);
}

}  // namespace
