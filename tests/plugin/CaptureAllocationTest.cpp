// The audio path must not allocate. Every global allocation in this test program
// is counted; processing must not add to the count, from the first block on.
#include <vector>

#include <gtest/gtest.h>

#include "iplug/VstEntry.h"
#include "plugin/ScopePlugin.h"
#include "tests/plugin/FakeDisplay.h"
#include "tests/support/AllocationCounter.h"

// The plug-in without its editor, created as the module's entry creates it.
inline vst::AEffect* CreateScope(vst::HostCallback host) {
  return CreateVstEffect(host, [](vst::HostCallback h) -> IPlugVST* { return new ScopePlugin(h); });
}

namespace {

class CaptureAllocation : public ::testing::TestWithParam<int> {};

TEST_P(CaptureAllocation, SteadyStateProcessingAllocatesNothing) {
  const int block = GetParam();
  vst::AEffect* effect = CreateScope(nullptr);
  auto* plug = static_cast<ScopePlugin*>(IPlugVST::FromEffect(effect));
  plug->AttachDisplay(std::make_unique<FakeDisplay>());
  effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, vst::effSetBlockSize, 0, block, nullptr, 0.0f);
  effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);

  std::vector<float> in(static_cast<std::size_t>(block), 0.25f);
  std::vector<float> out[2] = {std::vector<float>(in.size()), std::vector<float>(in.size())};
  float* ins[] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[] = {out[0].data(), out[1].data()};
  std::vector<double> din(in.size(), 0.25), dout(in.size());
  double* dins[] = {din.data(), din.data(), din.data(), din.data()};
  double* douts[] = {dout.data(), dout.data()};

  // The queues are made at their full size with the plug-in: from the very first
  // block on, nothing on the audio path allocates.
  const long before = AllocationCount();
  for (int done = 0; done < 250000; done += block) {
    effect->processReplacing(effect, ins, outs, block);
    effect->process(effect, ins, outs, block);
    effect->processDoubleReplacing(effect, dins, douts, block);
  }
  EXPECT_EQ(AllocationCount() - before, 0) << "block " << block;
  effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, CaptureAllocation, ::testing::Values(1, 7, 512, 4096));

TEST(CaptureSlicing, HowTheHostSlicesTheAudioDoesNotChangeTheCapture) {
  const int total = 60000;
  std::vector<float> signal(total);
  for (int i = 0; i < total; ++i)
    signal[static_cast<std::size_t>(i)] = float((i * 7919) % 1000) / 1000.0f;
  std::vector<std::vector<float>> windows;
  for (int block : {1, 7, 512, 4096}) {
    ScopePlugin plug(nullptr);
    plug.SetBlockSize(block);
    vst::AEffect* e = plug.Effect();
    std::vector<float> out(static_cast<std::size_t>(block));
    float* outs[] = {out.data(), out.data()};
    for (int done = 0; done < total; done += block) {
      const int n = std::min(block, total - done);
      float* p = signal.data() + done;
      float* ins[] = {p, p, p, p};
      e->processReplacing(e, ins, outs, n);
    }
    ChannelWindow channel[4];
    channel[0].enabled = true;
    ChannelWindow* all[4] = {&channel[0], &channel[1], &channel[2], &channel[3]};
    EXPECT_EQ(plug.Pull(all), 48000);
    windows.push_back(channel[0].samples);
  }
  for (const auto& w : windows) EXPECT_EQ(w, windows[0]);
  EXPECT_EQ(windows[0].back(), signal.back());
  EXPECT_EQ(windows[0].front(), signal[total - 48000]);
}

}  // namespace
