// The editor as an LV2 UI: opening in the host's window, the editor's edits reaching
// the host as port writes, the host's values reaching the editor, and echoes.
#include <gtest/gtest.h>

#include "iplug/Lv2EchoFilter.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/lv2/TestLv2Plug.h"

namespace {

const LV2UI_Idle_Interface* IdleInterface() {
  return static_cast<const LV2UI_Idle_Interface*>(
      IPlugLV2::UiDescriptor(nullptr, nullptr)->extension_data(LV2_UI__idleInterface));
}

class Lv2Ui : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host.Instantiate(), nullptr);
    host.ConnectAll(64);
  }
  TestPlug& Plug() { return PlugOf(host.Instance()); }
  FakeGraphics& Graphics() { return GraphicsOf(host.Instance()); }
  void Idle() { IdleInterface()->idle(host.Instance()); }
  // The editor's control for the gain moves to a real value, as a knob's edit does.
  void EditGain(double db) { Plug().SetParameterFromGUI(2, Plug().Param(2)->ToNormalized(db)); }
  void PortEvent(int port, float value) {
    IPlugLV2::UiDescriptor(nullptr, nullptr)
        ->port_event(host.Instance(), port, sizeof(float), 0, &value);
  }

  Lv2TestHost host{TestDescriptor()};
};

TEST_F(Lv2Ui, OpensTheEditorInsideTheHostsWindowAndClosesIt) {
  ASSERT_NE(host.InstantiateUi(), nullptr);
  EXPECT_EQ(Graphics().opens, 1);
  EXPECT_NE(Graphics().parent, nullptr);
  EXPECT_EQ(host.Widget(), &Graphics().window);
  EXPECT_EQ(host.resizedWidth, 300);
  EXPECT_EQ(host.resizedHeight, 200);
  // One editor per instance.
  EXPECT_EQ(host.InstantiateUi(), nullptr);
  EXPECT_EQ(Graphics().opens, 1);
  host.CleanupUi();
  EXPECT_EQ(Graphics().closes, 1);
  // Once closed, it opens again.
  ASSERT_NE(host.InstantiateUi(), nullptr);
  EXPECT_EQ(Graphics().opens, 2);
}

TEST_F(Lv2Ui, NeedsTheInstanceAndTheHostsWindow) {
  EXPECT_EQ(host.InstantiateUi(false, true), nullptr);
  EXPECT_EQ(host.InstantiateUi(true, false), nullptr);
  EXPECT_EQ(Graphics().opens, 0);
  ASSERT_NE(host.InstantiateUi(), nullptr);
  EXPECT_EQ(Graphics().opens, 1);
}

TEST_F(Lv2Ui, TheEditorsEditsReachTheHostOnItsIdleCall) {
  ASSERT_NE(host.InstantiateUi(), nullptr);
  Plug().BeginParameterEdit(2);
  EditGain(-9.0);
  Plug().EndParameterEdit(2);
  // The plug-in has the value at once; the host hears of it on its own UI thread.
  EXPECT_EQ(Plug().Param(2)->Value(), -9.0);
  EXPECT_TRUE(host.written.empty());
  Idle();
  ASSERT_EQ(host.written.size(), 1u);
  EXPECT_EQ(host.written[0].port, static_cast<std::uint32_t>(kGain));
  EXPECT_FLOAT_EQ(host.written[0].value, -9.0f);
  ASSERT_EQ(host.touched.size(), 2u);
  EXPECT_TRUE(host.touched[0].grabbed);
  EXPECT_FALSE(host.touched[1].grabbed);
  EXPECT_EQ(host.touched[1].port, static_cast<std::uint32_t>(kGain));
  // An enumeration is written as the whole step the plug-in takes.
  Plug().SetParameterFromGUI(1, 0.45);
  Idle();
  EXPECT_EQ(host.written.back().value, 3.0f);
}

TEST_F(Lv2Ui, PortEventsMoveTheControlsOnceAndAudioPortsAreIgnored) {
  ASSERT_NE(host.InstantiateUi(), nullptr);
  Graphics().shown.clear();
  PortEvent(kGain, -3.0f);
  EXPECT_EQ(Plug().Param(2)->Value(), -3.0);
  ASSERT_EQ(Graphics().shown.size(), 1u);
  // run then sees the same value in the port: already handed over.
  host.Control(kGain) = -3.0f;
  host.RunAndHandOver(64);
  EXPECT_EQ(Graphics().shown.size(), 1u);
  PortEvent(kIn1, 0.5f);
  EXPECT_EQ(Graphics().shown.size(), 1u);
}

TEST_F(Lv2Ui, TheHostsLateEchoOfAnEditDoesNotPullTheControlBack) {
  ASSERT_NE(host.InstantiateUi(), nullptr);
  // A drag: three values in quick succession.
  EditGain(-1.0);
  EditGain(-2.0);
  EditGain(-3.0);
  Idle();
  ASSERT_EQ(host.written.size(), 3u);
  Graphics().shown.clear();
  // The host reports what it was written back afterwards, through the port and as port
  // events.
  const std::vector<Lv2TestHost::Written> writes = host.written;
  for (const Lv2TestHost::Written& write : writes) {
    const float echoed = write.value;
    host.Control(kGain) = echoed;
    host.RunAndHandOver(64);
    PortEvent(kGain, echoed);
  }
  EXPECT_NEAR(Plug().Param(2)->Value(), -3.0, 1e-12);
  EXPECT_TRUE(Graphics().shown.empty());
  // A value the editor did not write is the host's own, and is taken.
  host.Control(kGain) = -4.0f;
  host.RunAndHandOver(64);
  EXPECT_EQ(Plug().Param(2)->Value(), -4.0);
}

TEST(Lv2EchoFilter, RemembersRecentValuesForTheWindowOnly) {
  Lv2EchoFilter filter;
  filter.Remember(1.0f, 10.0);
  filter.Remember(2.0f, 10.5);
  EXPECT_TRUE(filter.IsEcho(1.0f, 10.9));
  EXPECT_TRUE(filter.IsEcho(1.0f, 11.0));  // seen twice: still an echo
  EXPECT_FALSE(filter.IsEcho(3.0f, 11.0));
  EXPECT_FALSE(filter.IsEcho(1.0f, 11.2));  // older than the window
  EXPECT_TRUE(filter.IsEcho(2.0f, 11.2));
  EXPECT_FALSE(filter.IsEcho(2.0f, 12.0));
  EXPECT_EQ(filter.count, 0);
}

TEST(Lv2EchoFilter, KeepsTheNewestWhenFull) {
  Lv2EchoFilter filter;
  for (int i = 0; i < Lv2EchoFilter::kSize + 4; ++i) filter.Remember(static_cast<float>(i), 0.0);
  EXPECT_EQ(filter.count, Lv2EchoFilter::kSize);
  EXPECT_FALSE(filter.IsEcho(0.0f, 0.0));
  EXPECT_FALSE(filter.IsEcho(3.0f, 0.0));
  EXPECT_TRUE(filter.IsEcho(4.0f, 0.0));
  EXPECT_TRUE(filter.IsEcho(static_cast<float>(Lv2EchoFilter::kSize + 3), 0.0));
}

}  // namespace
