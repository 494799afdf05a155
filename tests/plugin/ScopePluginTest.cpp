#include "plugin/ScopePlugin.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "iplug/VstEntry.h"

#include "tests/plugin/FakeDisplay.h"
#include "tests/support/FakeHost.h"

// The plug-in without its editor, created as the module's entry creates it.
inline vst::AEffect* CreateScope(vst::HostCallback host) {
  return CreateVstEffect(host, [](vst::HostCallback h) -> IPlugVST* { return new ScopePlugin(h); });
}

using namespace vst;

namespace {

struct Scope {
  FakeHost host;
  AEffect* effect = nullptr;
  FakeDisplay* display = nullptr;

  explicit Scope(bool withDisplay = true) {
    effect = CreateScope(&FakeHost::Callback);
    host.Bind(effect);
    if (withDisplay) {
      auto link = std::make_unique<FakeDisplay>();
      display = link.get();
      Plug().AttachDisplay(std::move(link));
    }
    Dispatch(effect, effOpen);
  }
  ~Scope() { Dispatch(effect, effClose); }
  ScopePlugin& Plug() { return *static_cast<ScopePlugin*>(IPlugVST::FromEffect(effect)); }
  void Set(int idx, double normalized) { effect->setParameter(effect, idx, float(normalized)); }
  std::string Text(int32 opcode, int idx) {
    char text[64] = {};
    Dispatch(effect, opcode, idx, 0, text);
    return text;
  }
};

TEST(ScopePlugin, IdentityAsTheHostSeesIt) {
  Scope s(false);
  EXPECT_EQ(s.effect->uniqueID, FourCC('V', 'r', 'l', 'x'));
  EXPECT_EQ(s.effect->version, 18400);
  EXPECT_EQ(s.effect->numInputs, 4);
  EXPECT_EQ(s.effect->numOutputs, 2);
  EXPECT_EQ(s.effect->numParams, 16);
  EXPECT_EQ(s.effect->numPrograms, 1);
  EXPECT_EQ(s.effect->flags, 0x1018);  // replacing, double, mono; the editor adds 0x1
  char text[64];
  Dispatch(s.effect, effGetEffectName, 0, 0, text);
  EXPECT_STREQ(text, "Virlex");
  Dispatch(s.effect, effGetVendorString, 0, 0, text);
  EXPECT_STREQ(text, "Orbek");
  Dispatch(s.effect, effGetProductString, 0, 0, text);
  EXPECT_STREQ(text, "");
  Dispatch(s.effect, effGetProgramNameIndexed, 0, 0, text);
  EXPECT_STREQ(text, "Default");
}

TEST(ScopePlugin, SixteenParametersWithTheirNamesLabelsAndDefaults) {
  Scope s(false);
  struct Row {
    const char* name;
    const char* label;
    const char* display;
  };
  const Row rows[16] = {
      {"domain", "", "time"},  {"input 1", "", "on"},      {"input 2", "", "on"},
      {"input 3", "", "off"},  {"input 4", "", "off"},     {"delay 1", "ms", "0"},
      {"delay 2", "ms", "0"},  {"delay 3", "ms", "0"},     {"delay 4", "ms", "0"},
      {"hold", "dB", "3.0"},   {"fft size", "", "4096"},   {"blend speed", "", "0.5"},
      {"opacity", "", "0.75"}, {"X zoom low", "", "0.50"}, {"X zoom high", "", "1.00"},
      {"Y zoom", "", "0.50"},
  };
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(s.Text(effGetParamName, i), rows[i].name) << i;
    EXPECT_EQ(s.Text(effGetParamLabel, i), rows[i].label) << i;
    EXPECT_EQ(s.Text(effGetParamDisplay, i), rows[i].display) << i;
  }
  s.Set(kParamFftSize, 1.0);
  EXPECT_EQ(s.Text(effGetParamDisplay, kParamFftSize), "16384");
  EXPECT_EQ(s.Plug().FftSize(), 16384);
  s.Set(kParamDomain, 1.0);
  EXPECT_EQ(s.Text(effGetParamDisplay, kParamDomain), "phase");
  s.Set(kParamDelay1, 0.5);  // curve 2: a quarter of the range
  EXPECT_EQ(s.Text(effGetParamDisplay, kParamDelay1), "125.0");
  s.Set(kParamHold, 0.0);
  EXPECT_EQ(s.Text(effGetParamDisplay, kParamHold), "-30.0");
}

TEST(ScopePlugin, DelayTextsKeepOneDecimalBelowTenMilliseconds) {
  Scope s;
  auto setMs = [&](int input, double ms) {
    s.Plug().Param(kParamDelay1 + input)->SetClamped(ms);
    s.Plug().ParamChanged(kParamDelay1 + input);
  };
  setMs(0, 9.9);
  EXPECT_EQ(s.display->delayText[0], "9.9 ms");
  setMs(1, 12.3);
  EXPECT_EQ(s.display->delayText[1], "12 ms");
  setMs(3, 10.0);
  EXPECT_EQ(s.display->delayText[3], "10 ms");
}

TEST(ScopePlugin, XZoomEndsKeepAMinimumGap) {
  Scope s;
  s.Set(kParamXZoomLow, 0.0);
  s.Set(kParamXZoomHigh, 0.5);
  s.Set(kParamXZoomLow, 0.8);
  EXPECT_NEAR(s.Plug().XZoomLow(), 0.499, 1e-12);
  EXPECT_NEAR(s.Plug().Param(kParamXZoomLow)->Value(), 0.499, 1e-12);

  s.Set(kParamXZoomLow, 0.0);
  s.Set(kParamXZoomHigh, 0.0);
  EXPECT_NEAR(s.Plug().XZoomHigh(), 0.001, 1e-12);
  EXPECT_NEAR(s.Plug().Param(kParamXZoomHigh)->Value(), 0.001, 1e-12);
  EXPECT_EQ(s.host.Count(audioMasterAutomate), 0);  // the correction is not sent back
}

TEST(ScopePlugin, WindowReadoutShowsTheVisibleTimeSpanInTheTimeDomain) {
  Scope s;
  // The default zoom shows half of the 48000-sample window at 44100 Hz.
  EXPECT_EQ(s.display->readout, "544.2 ms 1.8 Hz");
  s.Set(kParamXZoomLow, 0.0);
  EXPECT_EQ(s.display->readout, "1088.4 ms < 1.0 Hz");
  s.Set(kParamXZoomLow, 0.99);
  EXPECT_EQ(s.display->readout.rfind("10.9 ms 91.9 Hz", 0), 0u) << s.display->readout;
  s.Set(kParamDomain, 0.5);  // freq: the readout is left alone
  s.Set(kParamXZoomLow, 0.5);
  EXPECT_EQ(s.display->readout.rfind("10.9 ms", 0), 0u);
  EXPECT_TRUE(s.display->timeControlsHidden);
}

TEST(ScopePlugin, EveryChangeReachesTheDisplayLastAndScalesWhereTheyMatter) {
  Scope s;
  s.display->applied.clear();
  const int before = s.display->scaleRefreshes;
  s.Set(kParamOpacity, 0.3);
  EXPECT_EQ(s.display->scaleRefreshes, before);
  ASSERT_EQ(s.display->applied.size(), 1u);
  EXPECT_EQ(s.display->applied[0].index, kParamOpacity);
  s.Set(kParamYZoom, 0.25);
  EXPECT_EQ(s.display->scaleRefreshes, before + 1);
  EXPECT_DOUBLE_EQ(s.display->holdYZoom, 0.25);
  EXPECT_DOUBLE_EQ(s.display->scales.yZoom, 0.25);
  s.effect->setParameter(s.effect, 16, 0.5f);
  s.Plug().ParamChanged(-1);
  EXPECT_EQ(s.display->applied.size(), 2u);
}

TEST(ScopePlugin, YZoomCopyStartsAtOneUntilTheParameterChanges) {
  Scope s(false);
  ScopePlugin plug(nullptr);
  EXPECT_EQ(plug.YZoom(), 1.0);
  plug.ParamChanged(kParamYZoom);
  EXPECT_EQ(plug.YZoom(), 0.5);
}

TEST(ScopePlugin, ResetTakesTheSampleRateAndClearsThePendingCount) {
  Scope s;
  std::vector<float> buf(256, 0.1f);
  float* io[] = {buf.data(), buf.data(), buf.data(), buf.data()};
  s.effect->processReplacing(s.effect, io, io, 256);
  EXPECT_EQ(s.Plug().Feed().Pending(), 256);
  Dispatch(s.effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
  EXPECT_EQ(s.Plug().ScopeSampleRate(), 96000.0);
  EXPECT_EQ(s.display->resets.back(), 96000.0);
  EXPECT_EQ(s.Plug().Feed().Pending(), 0);
  EXPECT_EQ(s.Plug().Feed().Queue(0).Held(), 256 * 4);  // the queues keep their samples
  Dispatch(s.effect, effSetSampleRate, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(s.Plug().ScopeSampleRate(), 96000.0);
}

TEST(ScopePlugin, FrozenDisplayIsNotMarkedDirtyByAudio) {
  Scope s;
  std::vector<float> buf(64, 0.0f);
  float* io[] = {buf.data(), buf.data(), buf.data(), buf.data()};
  s.effect->processReplacing(s.effect, io, io, 64);
  EXPECT_EQ(s.display->dirtyMarks, 1);
  s.Plug().SetFrozen(true);
  s.effect->processReplacing(s.effect, io, io, 64);
  EXPECT_EQ(s.display->dirtyMarks, 1);
}

TEST(ScopePlugin, PassesTwoChannelsThroughAndCapturesAllFour) {
  Scope s;
  const int n = 300;
  std::vector<float> in[4];
  for (int c = 0; c < 4; ++c) {
    in[c].resize(n);
    for (int i = 0; i < n; ++i) in[c][i] = float(c + 1) * 0.01f * float(i % 50);
  }
  std::vector<float> out[2] = {std::vector<float>(n), std::vector<float>(n)};
  float* ins[] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outs[] = {out[0].data(), out[1].data()};
  s.effect->processReplacing(s.effect, ins, outs, n);
  EXPECT_EQ(out[0], in[0]);
  EXPECT_EQ(out[1], in[1]);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(s.Plug().Feed().Queue(c).Held(), n * 4);
  float last = 0;
  s.Plug().Feed().Queue(3).Peek((n - 1) * 4, &last, 4);
  EXPECT_EQ(last, in[3][n - 1]);
}

TEST(ScopePlugin, UnconnectedInputIsNotCapturedAndItsOutputIsSilent) {
  Scope s;
  VstSpeakerArrangement in{};
  in.numChannels = 1;
  VstSpeakerArrangement out{};
  out.numChannels = 2;
  Dispatch(s.effect, effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), &out);
  std::vector<float> a(32, 0.5f), o1(32, 9.0f), o2(32, 9.0f);
  float* ins[] = {a.data()};
  float* outs[] = {o1.data(), o2.data()};
  s.effect->processReplacing(s.effect, ins, outs, 32);
  EXPECT_EQ(o1[31], 0.5f);
  EXPECT_EQ(o2[0], 0.0f);
  EXPECT_EQ(s.Plug().Feed().Queue(1).Held(), 0);
  EXPECT_EQ(s.Plug().Feed().Queue(0).Held(), 32 * 4);
}

// Hosts process in place or hand over outputs that are other inputs' buffers:
// every output gets its own input and every queue keeps its own input.
TEST(ScopePlugin, SharedHostBuffersPassThroughAndAreCapturedUnmixed) {
  const int n = 100;
  std::vector<float> original[4];
  for (int c = 0; c < 4; ++c) {
    original[c].resize(n);
    for (int i = 0; i < n; ++i) original[c][i] = float(c + 1) + 0.001f * float(i);
  }
  for (const bool crossed : {false, true}) {
    Scope s;
    std::vector<float> in[4] = {original[0], original[1], original[2], original[3]};
    float* ins[] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* inPlace[] = {in[0].data(), in[1].data()};
    float* swapped[] = {in[1].data(), in[0].data()};
    s.effect->processReplacing(s.effect, ins, crossed ? swapped : inPlace, n);
    EXPECT_EQ(crossed ? in[1] : in[0], original[0]) << crossed;
    EXPECT_EQ(crossed ? in[0] : in[1], original[1]) << crossed;
    for (int c = 0; c < 4; ++c) {
      std::vector<float> kept(n);
      ASSERT_EQ(s.Plug().Feed().Queue(c).Held(), n * 4);
      s.Plug().Feed().Queue(c).Peek(0, kept.data(), n * 4);
      EXPECT_EQ(kept, original[c]) << "input " << c << (crossed ? ", crossed" : ", in place");
    }
  }
}

}  // namespace
