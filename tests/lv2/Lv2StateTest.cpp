// The LV2 state: the program chunk's bytes under one key, saved and restored.
#include <cstring>

#include <lv2/atom/atom.h>

#include <gtest/gtest.h>

#include "tests/lv2/Lv2TestHost.h"
#include "tests/lv2/TestLv2Plug.h"

namespace {

double DoubleAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  double value = 0.0;
  std::memcpy(&value, bytes.data() + offset, sizeof(value));
  return value;
}

class Lv2State : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(host.Instantiate(), nullptr);
    host.ConnectAll(64);
  }
  // Sets the three parameters through the ports and lets run hand them over.
  void SetThroughPorts(float on, float choice, float gain) {
    host.Control(kSwitch) = on;
    host.Control(kChoice) = choice;
    host.Control(kGain) = gain;
    host.RunAndHandOver(64);
  }
  Lv2TestHost host{TestDescriptor()};
};

TEST_F(Lv2State, SavesTheProgramChunkAsAPortableChunk) {
  SetThroughPorts(1.0f, 5.0f, -7.5f);
  ASSERT_EQ(host.Save(), LV2_STATE_SUCCESS);
  ASSERT_EQ(host.saved.size(), 1u);
  const Lv2TestHost::Stored& s = host.saved[0];
  EXPECT_EQ(s.key, host.Map("urn:test:plug#program"));
  EXPECT_EQ(s.type, host.Map(LV2_ATOM__Chunk));
  EXPECT_EQ(s.flags, static_cast<std::uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
  // "tffp", format 0x00010000, then each parameter's real value: the VST program chunk.
  ASSERT_EQ(s.bytes.size(), 8u + 3u * 8u);
  EXPECT_EQ(std::memcmp(s.bytes.data(), "tffp\0\0\1\0", 8), 0);
  EXPECT_EQ(DoubleAt(s.bytes, 8), 1.0);
  EXPECT_EQ(DoubleAt(s.bytes, 16), 5.0);
  EXPECT_EQ(DoubleAt(s.bytes, 24), -7.5);
}

TEST_F(Lv2State, RestoresIntoAnotherInstanceAndKeepsItUntilAPortChanges) {
  SetThroughPorts(1.0f, 5.0f, -7.5f);
  ASSERT_EQ(host.Save(), LV2_STATE_SUCCESS);

  Lv2TestHost other(TestDescriptor());
  ASSERT_NE(other.Instantiate(), nullptr);
  other.ConnectAll(64);  // the ports hold the defaults
  other.saved = host.saved;
  ASSERT_EQ(other.Restore(), LV2_STATE_SUCCESS);
  TestPlug& plug = PlugOf(other.Instance());
  EXPECT_EQ(plug.Param(0)->Value(), 1.0);
  EXPECT_EQ(plug.Param(1)->Value(), 5.0);
  EXPECT_EQ(plug.Param(2)->Value(), -7.5);
  // Ports the host has not touched since do not undo the restored state...
  other.RunAndHandOver(64);
  EXPECT_EQ(plug.Param(2)->Value(), -7.5);
  // ...a host that then sets the same values changes nothing, a new value is taken.
  other.Control(kGain) = -7.5f;
  other.RunAndHandOver(64);
  EXPECT_EQ(plug.Param(2)->Value(), -7.5);
  other.Control(kGain) = -1.0f;
  other.RunAndHandOver(64);
  EXPECT_EQ(plug.Param(2)->Value(), -1.0);
}

TEST_F(Lv2State, RefusesWhatIsNotItsStateAndReportsADamagedChunk) {
  Lv2TestHost::Stored good{host.Map("urn:test:plug#program"), {}, host.Map(LV2_ATOM__Chunk), 0};

  host.saved.clear();
  EXPECT_EQ(host.Restore(), LV2_STATE_ERR_NO_PROPERTY);

  Lv2TestHost::Stored wrongType = good;
  wrongType.type = host.Map(LV2_ATOM__String);
  wrongType.bytes = {'t', 'f', 'f', 'p', 0, 0, 1, 0};
  host.saved = {wrongType};
  EXPECT_EQ(host.Restore(), LV2_STATE_ERR_BAD_TYPE);

  // A chunk that runs short after the first value: that value is applied, the error
  // is reported, as effSetChunk does for a VST host.
  Lv2TestHost::Stored shortChunk = good;
  shortChunk.bytes = {'t', 'f', 'f', 'p', 0, 0, 1, 0};
  const double on = 1.0;
  const auto* onBytes = reinterpret_cast<const std::uint8_t*>(&on);
  shortChunk.bytes.insert(shortChunk.bytes.end(), onBytes, onBytes + 8);
  host.saved = {shortChunk};
  EXPECT_EQ(host.Restore(), LV2_STATE_ERR_UNKNOWN);
  EXPECT_EQ(PlugOf(host.Instance()).Param(0)->Value(), 1.0);
}

TEST(Lv2StateWithoutUrids, ReportsTheMissingFeature) {
  Lv2TestHost host(TestDescriptor(), 0, false);
  ASSERT_NE(host.Instantiate(), nullptr);
  EXPECT_EQ(host.Save(), LV2_STATE_ERR_NO_FEATURE);
  EXPECT_EQ(host.Restore(), LV2_STATE_ERR_NO_FEATURE);
}

}  // namespace
