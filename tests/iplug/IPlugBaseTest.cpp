#include "iplug/IPlugBase.h"

#include <limits>

#include <gtest/gtest.h>

#include "iplug/VstEntry.h"
#include "tests/support/FakeHost.h"
#include "tests/support/TestPlug.h"

namespace {

TEST(IPlugBase, ParsesChannelPairsAndAnswersLegalIO) {
  TestPlug plug(nullptr);
  EXPECT_EQ(plug.MaxInputs(), 4);
  EXPECT_EQ(plug.MaxOutputs(), 2);
  EXPECT_TRUE(plug.LegalIO(4, 2));
  EXPECT_TRUE(plug.LegalIO(1, -1));
  EXPECT_TRUE(plug.LegalIO(-1, -1));
  EXPECT_FALSE(plug.LegalIO(2, 1));
  EXPECT_FALSE(plug.LegalIO(3, -1));
}

class PairPlug : public IPlugVST {
 public:
  explicit PairPlug(const char* io)
      : IPlugVST(nullptr, 0, io, 0, "Pair", "", "", 0x10000, 1, 1, 0, false, false, false) {}
};

TEST(IPlugBase, SinglePairAndMalformedStringsGiveSaneSlots) {
  PairPlug pair("2-2");
  EXPECT_EQ(pair.MaxInputs(), 2);
  EXPECT_EQ(pair.MaxOutputs(), 2);
  EXPECT_FALSE(pair.LegalIO(1, -1));
  EXPECT_EQ(pair.Effect()->flags & vst::effFlagsCanMono, 0);

  PairPlug broken("1-1 x-2 4-2");  // parsing stops at the token that is not a pair
  EXPECT_EQ(broken.MaxInputs(), 1);
  PairPlug none("");
  EXPECT_EQ(none.MaxInputs(), 0);
  EXPECT_FALSE(none.InputConnected(0));
}

TEST(IPlugBase, ConnectionQueriesOutsideTheSlotsAreFalse) {
  TestPlug plug(nullptr);
  EXPECT_TRUE(plug.InputConnected(3));
  EXPECT_FALSE(plug.InputConnected(4));
  EXPECT_FALSE(plug.OutputConnected(-1));
  plug.SetInputConnections(-2, 4, false);  // clipped to inputs 0 and 1
  EXPECT_FALSE(plug.InputConnected(0));
  EXPECT_FALSE(plug.InputConnected(1));
  EXPECT_TRUE(plug.InputConnected(2));
  plug.SetOutputConnections(1, 100, false);
  EXPECT_TRUE(plug.OutputConnected(0));
  EXPECT_FALSE(plug.OutputConnected(1));
}

TEST(IPlugBase, GuiEditTellsTheHostTheRawValueAndSetsTheRoundedOne) {
  FakeHost host;
  vst::AEffect* e = CreateVstEffect(
      &FakeHost::Callback, [](vst::HostCallback h) -> IPlugVST* { return new TestPlug(h); });
  ASSERT_NE(e, nullptr);
  host.Bind(e);
  auto* plug = static_cast<TestPlug*>(IPlugVST::FromEffect(e));
  plug->SetParameterFromGUI(0, 0.7);
  const HostCall* automate = host.Last(vst::audioMasterAutomate);
  ASSERT_NE(automate, nullptr);
  EXPECT_EQ(automate->index, 0);
  EXPECT_FLOAT_EQ(automate->opt, 0.7f);
  EXPECT_EQ(plug->Param(0)->Value(), 1.0);
  EXPECT_EQ(plug->changed.back(), 0);

  const auto calls = host.calls.size();
  plug->SetParameterFromGUI(99, 0.5);  // out of range: nothing at all
  EXPECT_EQ(host.calls.size(), calls);

  plug->BeginParameterEdit(2);
  plug->EndParameterEdit(2);
  EXPECT_EQ(host.Last(vst::audioMasterBeginEdit)->index, 2);
  EXPECT_EQ(host.Last(vst::audioMasterEndEdit)->index, 2);
  Dispatch(e, vst::effClose);
}

class BufferPlug : public TestPlug {
 public:
  using TestPlug::TestPlug;
  double* InputBuffer(int i) { return InputPointers()[i]; }
};

TEST(IPlugBase, BlockSizeChangeZeroFillsScratchButTheSameSizeKeepsIt) {
  BufferPlug plug(nullptr);
  plug.SetInputConnections(0, 4, false);
  ASSERT_EQ(plug.BlockSize(), 1024);
  plug.InputBuffer(0)[5] = 3.0;
  plug.SetBlockSize(1024);
  EXPECT_EQ(plug.InputBuffer(0)[5], 3.0);
  plug.SetBlockSize(512);
  EXPECT_EQ(plug.BlockSize(), 512);
  EXPECT_EQ(plug.InputBuffer(0)[5], 0.0);
  plug.SetBlockSize(0);
  plug.SetBlockSize(-3);
  EXPECT_EQ(plug.BlockSize(), 512);
  plug.SetBlockSize(1 << 30);
  EXPECT_EQ(plug.BlockSize(), IPlugBase::kMaxBlockSize);
}

TEST(IPlugBase, DefaultProcessCopiesInputsThatHaveOutputs) {
  TestPlug plug(nullptr);
  double in[4][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
  double out[2][3] = {};
  double* ins[4] = {in[0], in[1], in[2], in[3]};
  double* outs[2] = {out[0], out[1]};
  plug.IPlugBase::ProcessBlock(ins, outs, 3);
  EXPECT_EQ(out[0][2], 3.0);
  EXPECT_EQ(out[1][0], 4.0);
}

TEST(IPlugBase, EffectVersionInBothForms) {
  TestPlug plug(nullptr);
  EXPECT_EQ(plug.EffectVersion(false), 0x10203);
  EXPECT_EQ(plug.EffectVersion(true), 10203);
  EXPECT_EQ(plug.Effect()->version, 10203);
}

TEST(IPlugBase, SampleRateKeepsThePreviousValueForNonsense) {
  TestPlug plug(nullptr);
  plug.SetSampleRate(48000.0);
  plug.SetSampleRate(0.0);
  plug.SetSampleRate(-44100.0);
  plug.SetSampleRate(std::numeric_limits<double>::quiet_NaN());
  plug.SetSampleRate(std::numeric_limits<double>::infinity());
  EXPECT_EQ(plug.SampleRate(), 48000.0);
}

}  // namespace
