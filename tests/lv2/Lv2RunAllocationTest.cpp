// The LV2 audio thread must not allocate: Virlex (with its editor) behind the adapter,
// run with audio and with control ports that change on every block. Every allocation
// of this program is counted.
#include <vector>

#include <gtest/gtest.h>

#include "iplug/IPlugLV2.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/support/AllocationCounter.h"

extern "C" vst::AEffect* VST_CALLBACK VSTPluginMain(vst::HostCallback host);

namespace {

class Lv2RunAllocation : public ::testing::TestWithParam<int> {};

TEST_P(Lv2RunAllocation, RunAllocatesNothingFromTheFirstBlockOn) {
  const int block = GetParam();
  Lv2TestHost host(IPlugLV2::Descriptor("urn:orbek:virlex", &VSTPluginMain), block);
  ASSERT_NE(host.Instantiate(44100.0), nullptr);
  host.ConnectAll(block);
  host.Disconnect(3);  // one input left unconnected
  for (int port = 0; port < 3; ++port) {
    for (int i = 0; i < block; ++i) host.Audio(port)[static_cast<std::size_t>(i)] = 0.001f * i;
  }
  const Lv2PortLayout& layout = host.Instance()->Layout();
  IPlugLV2::Descriptor(nullptr, nullptr)->activate(host.Instance());

  const long before = AllocationCount();
  for (int n = 0; n < 2000; ++n) {
    // Every parameter moves within its range, one of them on each block.
    const int param = n % layout.params;
    const IPlugParam* p = host.Instance()->Plug()->Param(param);
    const double t = (n / layout.params % 5) / 4.0;
    host.Control(layout.ParamPort(param)) =
        static_cast<float>(p->Min() + t * (p->Max() - p->Min()));
    host.Run(block);
  }
  EXPECT_EQ(AllocationCount() - before, 0) << "block " << block;
  EXPECT_EQ(host.Audio(layout.AudioOutPort(0)), host.Audio(0));
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, Lv2RunAllocation, ::testing::Values(1, 64, 4096));

}  // namespace
