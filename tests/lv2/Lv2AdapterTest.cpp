// The LV2 adapter's audio and parameter paths, driven as an LV2 host drives them.
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include "tests/lv2/Lv2TestHost.h"
#include "tests/lv2/TestLv2Plug.h"

namespace {

void FillRamp(std::vector<float>& buffer, float start, float step) {
  for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = start + step * static_cast<float>(i);
}

class Lv2Adapter : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host.Instantiate(96000.0), nullptr);
    host.ConnectAll(kFrames);
    TestDescriptor()->activate(host.Instance());
  }
  TestPlug& Plug() { return PlugOf(host.Instance()); }
  int CountChanged(int param) {
    int n = 0;
    for (int idx : Plug().changed) n += idx == param;
    return n;
  }

  static constexpr int kFrames = 256;
  Lv2TestHost host{TestDescriptor()};
};

TEST_F(Lv2Adapter, InstantiatesWithTheHostsRateAndOpensThePlugin) {
  EXPECT_EQ(Plug().SampleRate(), 96000.0);
  // Opening announces every parameter and resets, as effOpen does.
  EXPECT_EQ(CountChanged(0), 1);
  EXPECT_EQ(CountChanged(2), 1);
  EXPECT_GE(Plug().resets, 1);
  const Lv2PortLayout& layout = host.Instance()->Layout();
  EXPECT_EQ(layout.PortCount(), 4 + 2 + 3);
  EXPECT_EQ(layout.ParamPort(2), kGain);
}

TEST_F(Lv2Adapter, PassesAudioThroughAndUnconnectedInputsReadSilence) {
  FillRamp(host.Audio(kIn1), 0.25f, 0.001f);
  FillRamp(host.Audio(kIn2), -0.5f, 0.002f);
  host.Run(kFrames);
  EXPECT_EQ(host.Audio(kOut1), host.Audio(kIn1));
  EXPECT_EQ(host.Audio(kOut2), host.Audio(kIn2));
  EXPECT_TRUE(Plug().InputConnected(1));

  host.Disconnect(kIn2);
  host.Run(kFrames);
  EXPECT_EQ(host.Audio(kOut1), host.Audio(kIn1));
  EXPECT_EQ(host.Audio(kOut2), std::vector<float>(kFrames, 0.0f));
  EXPECT_FALSE(Plug().InputConnected(1));

  // Connected again, it is heard again.
  host.ConnectPort(kIn2, host.Audio(kIn2).data());
  host.Run(kFrames);
  EXPECT_EQ(host.Audio(kOut2), host.Audio(kIn2));
}

TEST_F(Lv2Adapter, ProcessesInPlaceBuffers) {
  std::vector<float> shared(kFrames);
  FillRamp(shared, 0.1f, 0.001f);
  const std::vector<float> expected = shared;
  host.ConnectPort(kIn1, shared.data());
  host.ConnectPort(kOut1, shared.data());
  host.Run(kFrames);
  EXPECT_EQ(shared, expected);
}

TEST(Lv2AdapterBlocks, BlocksLongerThanTheBuffersAreProcessedInSlices) {
  // No maxBlockLength: the buffers keep the adapter's default of 1024 frames.
  Lv2TestHost host(TestDescriptor());
  ASSERT_NE(host.Instantiate(), nullptr);
  EXPECT_EQ(host.Instance()->Plug()->BlockSize(), 1024);
  host.ConnectAll(5000);
  FillRamp(host.Audio(kIn1), -1.0f, 0.0004f);
  host.Run(5000);
  EXPECT_EQ(host.Audio(kOut1), host.Audio(kIn1));
}

TEST(Lv2AdapterBlocks, TheHostsMaxBlockLengthSizesTheBuffersOnce) {
  Lv2TestHost host(TestDescriptor(), 8192);
  ASSERT_NE(host.Instantiate(), nullptr);
  EXPECT_EQ(host.Instance()->Plug()->BlockSize(), 8192);
  // Beyond what the buffers of any block size are made for, the adapter's cap holds.
  Lv2TestHost huge(TestDescriptor(), 1 << 24);
  ASSERT_NE(huge.Instantiate(), nullptr);
  EXPECT_EQ(huge.Instance()->Plug()->BlockSize(), IPlugBase::kMaxBlockSize);
}

TEST_F(Lv2Adapter, AControlPortChangeReachesThePluginAsASetParameterDoes) {
  auto& graphics = GraphicsOf(host.Instance());
  graphics.shown.clear();
  Plug().changed.clear();
  host.Control(kGain) = -12.5f;
  host.RunAndHandOver(kFrames);
  EXPECT_DOUBLE_EQ(Plug().Param(2)->Value(), -12.5);
  ASSERT_EQ(CountChanged(2), 1);
  ASSERT_EQ(graphics.shown.size(), 1u);
  EXPECT_EQ(graphics.shown[0].param, 2);
  EXPECT_TRUE(graphics.shown[0].normalized);
  EXPECT_NEAR(graphics.shown[0].value, (-12.5 + 30.0) / 33.0, 1e-12);

  // Nothing new in the ports: nothing handed over.
  host.RunAndHandOver(kFrames);
  EXPECT_EQ(CountChanged(2), 1);
}

TEST_F(Lv2Adapter, ParameterChangesAreHandedOverOffTheAudioThread) {
  auto& graphics = GraphicsOf(host.Instance());
  graphics.shown.clear();
  host.Control(kGain) = -2.0f;
  host.Run(kFrames);
  // The instance's own thread hands it over within a few of its rounds.
  for (int wait = 0; wait < 1000 && Plug().Param(2)->Value() != -2.0; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(Plug().Param(2)->Value(), -2.0);
  ILockGuard hold(Plug().Lock());
  ASSERT_EQ(graphics.shown.size(), 1u);
  EXPECT_NE(graphics.shown[0].thread, std::this_thread::get_id());
}

TEST_F(Lv2Adapter, ControlValuesAreRoundedClampedAndNaNIgnored) {
  host.Control(kChoice) = 3.4f;  // an enumeration takes whole steps
  host.Control(kSwitch) = 0.7f;  // a switch is on or off
  host.Control(kGain) = 10.0f;   // above the maximum
  host.RunAndHandOver(kFrames);
  EXPECT_EQ(Plug().Param(1)->Value(), 3.0);
  EXPECT_EQ(Plug().Param(0)->Value(), 1.0);
  EXPECT_EQ(Plug().Param(2)->Value(), 3.0);

  host.Control(kGain) = std::nanf("");
  host.RunAndHandOver(kFrames);
  EXPECT_EQ(Plug().Param(2)->Value(), 3.0);
}

TEST_F(Lv2Adapter, RunNeverWaitsForTheInstanceLockAndLosesNoParameterChange) {
  FillRamp(host.Audio(kIn1), 0.5f, -0.001f);
  FillRamp(host.Audio(kIn2), 0.0f, 0.001f);
  std::atomic<bool> held{false};
  std::atomic<bool> release{false};
  std::thread other([&] {
    ILockGuard hold(Plug().Lock());
    held = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  host.Control(kGain) = -6.0f;
  const auto start = std::chrono::steady_clock::now();
  host.Run(kFrames);
  const auto took = std::chrono::steady_clock::now() - start;
  // Another thread still holds the lock, so returning at all shows run did not wait.
  EXPECT_LT(took, std::chrono::seconds(1));
  EXPECT_EQ(host.Instance()->BypassedBlocks(), 1);
  EXPECT_EQ(host.Audio(kOut1), host.Audio(kIn1));
  EXPECT_EQ(host.Audio(kOut2), host.Audio(kIn2));
  release = true;
  other.join();

  host.RunAndHandOver(kFrames);
  EXPECT_EQ(Plug().Param(2)->Value(), -6.0);
  EXPECT_EQ(host.Instance()->BypassedBlocks(), 1);
}

TEST_F(Lv2Adapter, ABypassedBlockSilencesOutputsWithoutAnInput) {
  host.Disconnect(kIn2);
  host.Audio(kOut2).assign(kFrames, 0.75f);
  std::atomic<bool> held{false};
  std::atomic<bool> release{false};
  std::thread other([&] {
    ILockGuard hold(Plug().Lock());
    held = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  host.Run(kFrames);
  release = true;
  other.join();
  EXPECT_EQ(host.Audio(kOut2), std::vector<float>(kFrames, 0.0f));
}

TEST_F(Lv2Adapter, DeactivationResetsAsTheVstHostsSwitchOffDoes) {
  const int resets = Plug().resets;
  TestDescriptor()->deactivate(host.Instance());
  EXPECT_EQ(Plug().resets, resets + 1);
  TestDescriptor()->activate(host.Instance());
  host.Run(kFrames);
}

TEST(Lv2AdapterDescriptor, DescribesOnePluginWithTheStateInterface) {
  const LV2_Descriptor* d = TestDescriptor();
  EXPECT_STREQ(d->URI, kTestPlugUri);
  EXPECT_NE(d->extension_data(LV2_STATE__interface), nullptr);
  EXPECT_EQ(d->extension_data("urn:nothing"), nullptr);
  // The module holds one plug-in: a second registration cannot change it.
  EXPECT_EQ(IPlugLV2::Descriptor("urn:other", nullptr), d);
  EXPECT_STREQ(IPlugLV2::UiDescriptor(nullptr, nullptr)->URI, "urn:test:plug#ui");
}

}  // namespace
