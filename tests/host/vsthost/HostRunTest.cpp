// The host library driving an in-process effect: creation checks, the life cycle a
// host owes a plug-in, block slicing, the three process calls, and the callback's
// answers and record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tools/vsthost/BlockRunner.h"
#include "tools/vsthost/PluginInfo.h"
#include "tools/vsthost/PluginInstance.h"
#include "tools/vsthost/TestSignal.h"

namespace vsthost {
namespace {

using namespace vst;

// What the recording effect saw; reset by each test through MakeRecorder.
struct Record {
  std::vector<int32> opcodes;    // dispatcher calls in order
  std::vector<int32> blocks;     // frame counts of process calls
  std::vector<int32> announced;  // block size in force at each process call
  intptr productAnswer = -1;
  std::string productSeen;
  int dispatcherCalls = 0;
};

struct Config {
  int32 inputs = 2, outputs = 2;
  int32 flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  int32 magic = kEffectMagic;
  bool askDuringConstruction = false;
  float gain = 1.0f;
};

Record gRecord;
Config gConfig;
AEffect gEffect;
int32 gBlockSize = 0;
HostCallback gHost = nullptr;

intptr VST_CALLBACK RecDispatch(AEffect*, int32 op, int32 index, intptr value, void* ptr, float) {
  ++gRecord.dispatcherCalls;
  gRecord.opcodes.push_back(op);
  if (op == effSetBlockSize) gBlockSize = int32(value);
  if (op == effGetParamName) {
    const char* names[] = {"Gain", "Blend Speed"};
    if (index >= 0 && index < 2) std::strcpy(static_cast<char*>(ptr), names[index]);
  }
  if (op == effGetChunk) {
    static std::uint8_t chunk[] = {1, 2, 3, 4, 5};
    *static_cast<void**>(ptr) = chunk;
    return sizeof(chunk);
  }
  return 0;
}

template <typename Sample, bool kAdd>
void RecRun(Sample** in, Sample** out, int32 frames) {
  gRecord.blocks.push_back(frames);
  gRecord.announced.push_back(gBlockSize);
  for (int32 c = 0; c < gConfig.outputs; ++c)
    for (int32 i = 0; i < frames; ++i) {
      Sample v = c < gConfig.inputs ? in[c][i] * Sample(gConfig.gain) : Sample(0);
      out[c][i] = kAdd ? out[c][i] + v : v;
    }
}

void VST_CALLBACK RecAdd(AEffect*, float** in, float** out, int32 n) {
  RecRun<float, true>(in, out, n);
}
void VST_CALLBACK RecReplace(AEffect*, float** in, float** out, int32 n) {
  RecRun<float, false>(in, out, n);
}
void VST_CALLBACK RecDouble(AEffect*, double** in, double** out, int32 n) {
  RecRun<double, false>(in, out, n);
}

AEffect* VST_CALLBACK RecEntry(HostCallback host) {
  gHost = host;
  gEffect = AEffect{};
  gEffect.magic = gConfig.magic;
  gEffect.dispatcher = RecDispatch;
  gEffect.process = RecAdd;
  gEffect.processReplacing = RecReplace;
  gEffect.processDoubleReplacing = RecDouble;
  gEffect.numInputs = gConfig.inputs;
  gEffect.numOutputs = gConfig.outputs;
  gEffect.numParams = 2;
  gEffect.flags = gConfig.flags;
  if (gConfig.askDuringConstruction) {
    // Some plug-ins identify the host before they have an effect to pass.
    char product[256] = {};
    gRecord.productAnswer = host(nullptr, audioMasterGetProductString, 0, 0, product, 0.0f);
    gRecord.productSeen = product;
  }
  return &gEffect;
}

AEffect* VST_CALLBACK NullEntry(HostCallback) { return nullptr; }

std::unique_ptr<PluginInstance> MakeRecorder(HostContext& host, Config config = {}) {
  gRecord = Record{};
  gConfig = config;
  gBlockSize = 0;
  std::string error;
  auto plugin = PluginInstance::FromEntry(RecEntry, nullptr, host, error);
  EXPECT_TRUE(plugin) << error;
  return plugin;
}

TEST(PluginInstance, RefusesNullAndForeignRecordsWithoutTouchingThem) {
  HostContext host;
  std::string error;
  EXPECT_FALSE(PluginInstance::FromEntry(NullEntry, nullptr, host, error));
  EXPECT_NE(error.find("no effect"), std::string::npos);

  gRecord = Record{};
  gConfig = Config{};
  gConfig.magic = 0x11223344;
  EXPECT_FALSE(PluginInstance::FromEntry(RecEntry, nullptr, host, error));
  EXPECT_NE(error.find("0x11223344"), std::string::npos);
  EXPECT_EQ(gRecord.dispatcherCalls, 0);  // not even effClose on a record we do not know
}

TEST(PluginInstance, RefusesImpossibleChannelCountsAndClosesTheEffect) {
  HostContext host;
  std::string error;
  for (int32 inputs : {-1, 1025}) {
    gRecord = Record{};
    gConfig = Config{};
    gConfig.inputs = inputs;
    EXPECT_FALSE(PluginInstance::FromEntry(RecEntry, nullptr, host, error)) << inputs;
    EXPECT_NE(error.find("impossible"), std::string::npos);
    EXPECT_EQ(gRecord.opcodes, std::vector<int32>{effClose});
  }
}

TEST(PluginInstance, MissingModuleIsAnErrorNotACrash) {
  HostContext host;
  std::string error;
  EXPECT_FALSE(PluginInstance::Load("/nonexistent/plugin.so", host, error));
  EXPECT_NE(error.find("cannot load module"), std::string::npos);
}

TEST(BlockRunner, DrivesTheHostLifeCycleInOrderAndSlicesBlocks) {
  HostContext host;
  auto plugin = MakeRecorder(host);
  plugin->Open();
  AudioData in = MakeTestSignal(2, 1000, 48000);
  AudioData out;
  std::string error;
  ASSERT_TRUE(
      RunThrough(*plugin, in, RunSettings{ProcessMode::Replacing, 300, 44100.0}, out, error))
      << error;
  plugin->Close();
  plugin->Close();  // a second close must not reach the plug-in
  EXPECT_EQ(gRecord.blocks, (std::vector<int32>{300, 300, 300, 100}));
  for (int32 announced : gRecord.announced) EXPECT_EQ(announced, 300);
  const std::vector<int32> expected = {effOpen,         effSetSampleRate, effSetBlockSize,
                                       effMainsChanged, effStartProcess,  effStopProcess,
                                       effMainsChanged, effClose};
  EXPECT_EQ(gRecord.opcodes, expected);
  EXPECT_EQ(out.channels, in.channels);
}

TEST(BlockRunner, AccumulatingCallStartsEachBlockFromSilence) {
  HostContext host;
  auto plugin = MakeRecorder(host);
  AudioData in = MakeTestSignal(2, 700, 48000);
  AudioData out;
  std::string error;
  ASSERT_TRUE(
      RunThrough(*plugin, in, RunSettings{ProcessMode::Accumulating, 128, 48000.0}, out, error));
  int checked = 0;
  std::string verdict;
  EXPECT_TRUE(CheckPassthrough(in, out, {}, checked, verdict)) << verdict;
  EXPECT_EQ(checked, 2);
}

TEST(BlockRunner, DoubleCallCarriesFloatsExactly) {
  HostContext host;
  auto plugin = MakeRecorder(host);
  AudioData in = MakeTestSignal(2, 513, 48000);
  AudioData out;
  std::string error;
  ASSERT_TRUE(RunThrough(*plugin, in, RunSettings{ProcessMode::Double, 512, 48000.0}, out, error));
  EXPECT_EQ(out.channels, in.channels);
  EXPECT_EQ(gRecord.blocks, (std::vector<int32>{512, 1}));
}

TEST(BlockRunner, RefusesAModeThePluginDoesNotOffer) {
  HostContext host;
  Config config;
  config.flags = effFlagsCanReplacing;
  auto plugin = MakeRecorder(host, config);
  AudioData in = MakeTestSignal(2, 10, 48000), out;
  std::string error;
  EXPECT_FALSE(RunThrough(*plugin, in, RunSettings{ProcessMode::Double, 64, 48000.0}, out, error));
  EXPECT_NE(error.find("double"), std::string::npos);
  EXPECT_TRUE(gRecord.blocks.empty());
}

TEST(BlockRunner, FitsSignalToThePluginsChannels) {
  HostContext host;
  Config config;
  config.inputs = 4;
  config.outputs = 2;
  auto plugin = MakeRecorder(host, config);
  AudioData in = MakeTestSignal(1, 100, 48000), out;
  std::string error;
  ASSERT_TRUE(RunThrough(*plugin, in, RunSettings{}, out, error));
  ASSERT_EQ(out.channels.size(), 2u);
  EXPECT_EQ(out.channels[0], in.channels[0]);
  EXPECT_EQ(out.channels[1], std::vector<float>(100, 0.0f));  // input 2 was silence
}

TEST(PluginInstance, RefusesBlocksLargerThanAnnounced) {
  HostContext host;
  auto plugin = MakeRecorder(host);
  plugin->SetBlockSize(64);
  std::vector<float> a(128), b(128), c(128), d(128);
  float* ins[] = {a.data(), b.data()};
  float* outs[] = {c.data(), d.data()};
  EXPECT_FALSE(plugin->ProcessFloat(ProcessMode::Replacing, ins, outs, 65));
  EXPECT_TRUE(plugin->ProcessFloat(ProcessMode::Replacing, ins, outs, 64));
  EXPECT_EQ(gRecord.blocks, (std::vector<int32>{64}));
}

TEST(CheckPassthrough, NamesTheFirstDifferenceAndNeedsAChannel) {
  AudioData in = MakeTestSignal(2, 50, 48000);
  AudioData out = in;
  out.channels[1][17] += 1e-6f;
  int checked = 0;
  std::string verdict;
  EXPECT_FALSE(CheckPassthrough(in, out, {}, checked, verdict));
  EXPECT_NE(verdict.find("channel 2 differs at frame 17"), std::string::npos) << verdict;
  AudioData none;
  EXPECT_FALSE(CheckPassthrough(in, none, {}, checked, verdict));
  EXPECT_EQ(checked, 0);
}

TEST(CheckPassthrough, FollowsAChannelMapAndRefusesOneBeyondTheChannels) {
  AudioData in = MakeTestSignal(4, 50, 48000);
  AudioData out;
  out.channels = {in.channels[0], in.channels[3]};
  int checked = 0;
  std::string verdict;
  EXPECT_FALSE(CheckPassthrough(in, out, {}, checked, verdict));  // output 2 is not input 2
  EXPECT_TRUE(CheckPassthrough(in, out, {0, 3}, checked, verdict)) << verdict;
  EXPECT_EQ(checked, 2);
  EXPECT_FALSE(CheckPassthrough(in, out, {0, 4}, checked, verdict));
  EXPECT_NE(verdict.find("input 5"), std::string::npos) << verdict;
  EXPECT_FALSE(CheckPassthrough(in, out, {0, 3, 1}, checked, verdict));  // no output 3
}

TEST(PluginInstance, FindsParametersByExactNameThenIgnoringCase) {
  HostContext host;
  auto plugin = MakeRecorder(host);
  EXPECT_EQ(plugin->FindParameter("Blend Speed"), 1);
  EXPECT_EQ(plugin->FindParameter("gain"), 0);
  EXPECT_EQ(plugin->FindParameter("volume"), -1);
  EXPECT_EQ(plugin->GetChunk(true), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
}

TEST(HostContext, AnswersCallsDuringConstructionThroughTheScope) {
  HostContext host;
  host.SetProduct("Cubase VST");
  Config config;
  config.askDuringConstruction = true;
  auto plugin = MakeRecorder(host, config);
  EXPECT_EQ(gRecord.productAnswer, 1);
  EXPECT_EQ(gRecord.productSeen, "Cubase VST");
}

TEST(HostContext, RoutesEachEffectToItsOwnContext) {
  HostContext first, second;
  first.SetVendorVersion(111);
  second.SetVendorVersion(222);
  AEffect a{}, b{};
  first.Bind(&a);
  second.Bind(&b);
  EXPECT_EQ(HostContext::Callback(&a, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f), 111);
  EXPECT_EQ(HostContext::Callback(&b, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f), 222);
  HostContext::Unbind(&a);
  HostContext::Unbind(&b);
  EXPECT_EQ(first.CountOf(audioMasterGetVendorVersion), 1u);
  EXPECT_EQ(second.CountOf(audioMasterGetVendorVersion), 1u);
}

TEST(HostContext, CutsLongProductNamesToThePublishedBuffer) {
  HostContext host;
  host.SetProduct(std::string(300, 'p'));
  char buffer[256];
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(host.Answer(nullptr, audioMasterGetProductString, 0, 0, buffer, 0.0f), 1);
  EXPECT_EQ(std::strlen(buffer), kProductStringSize - 1);
  EXPECT_EQ(buffer[kProductStringSize], 'x');  // nothing written past the promised 64 bytes
}

TEST(HostContext, RecordsAutomationAndBoundsItsLog) {
  HostContext host;
  host.Answer(nullptr, audioMasterBeginEdit, 3, 0, nullptr, 0.0f);
  host.Answer(nullptr, audioMasterAutomate, 3, 0, nullptr, 0.75f);
  host.Answer(nullptr, audioMasterEndEdit, 3, 0, nullptr, 0.0f);
  auto calls = host.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
  EXPECT_EQ(calls[1].index, 3);
  EXPECT_EQ(calls[1].opt, 0.75f);
  EXPECT_EQ(FormatHostCall(calls[1]), "automate index=3 value=0 opt=0.750000 -> 1");
  for (std::size_t i = 0; i < HostContext::kMaxLoggedCalls; ++i)
    host.Answer(nullptr, audioMasterIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(host.Calls().size(), HostContext::kMaxLoggedCalls);
  EXPECT_EQ(host.DroppedCalls(), 3u);
  EXPECT_EQ(host.CountOf(audioMasterIdle), HostContext::kMaxLoggedCalls);
}

TEST(HostContext, TimeInfoFollowsProcessingOrIsWithheld) {
  HostContext host;
  host.SetSampleRate(48000.0);
  host.ResetTime();
  host.AdvanceTime(24000);
  auto* time =
      reinterpret_cast<VstTimeInfo*>(host.Answer(nullptr, audioMasterGetTime, 0, 0, nullptr, 0));
  ASSERT_NE(time, nullptr);
  EXPECT_EQ(time->samplePos, 24000.0);
  EXPECT_EQ(time->sampleRate, 48000.0);
  EXPECT_DOUBLE_EQ(time->ppqPos, 1.0);  // half a second at 120 beats per minute
  EXPECT_TRUE(time->flags & kVstTempoValid);
  EXPECT_EQ(time->timeSigNumerator, 4);
  host.SetTimeInfoEnabled(false);
  EXPECT_EQ(host.Answer(nullptr, audioMasterGetTime, 0, 0, nullptr, 0), 0);
}

TEST(PluginInfo, FormatsUniqueIdsReadablyOnlyWhenPrintable) {
  EXPECT_EQ(FormatUniqueId(FourCC('V', 'r', 'l', 'x')), "'Vrlx' (0x56726c78)");
  EXPECT_EQ(FormatUniqueId(0x01020304), "0x01020304");
}

TEST(TestSignal, IsDeterministicAndShapedPerChannel) {
  AudioData a = MakeTestSignal(5, 4800, 48000), b = MakeTestSignal(5, 4800, 48000);
  EXPECT_EQ(a.channels, b.channels);
  EXPECT_NEAR(a.channels[0][0], 0.0f, 1e-7);
  EXPECT_NEAR(a.channels[1][0], 0.5f, 1e-7);  // the quarter-period copy starts at its peak
  for (std::size_t i = 0; i < 4800; i += 37)  // quadrature pair: a circle on a phase display
    EXPECT_NEAR(a.channels[0][i] * a.channels[0][i] + a.channels[1][i] * a.channels[1][i], 0.25f,
                1e-5);
  float peak = 0.0f;
  for (float v : a.channels[3]) peak = std::max(peak, std::abs(v));
  EXPECT_LE(peak, 0.25f);
  EXPECT_GT(peak, 0.2f);
  EXPECT_NE(a.channels[4], a.channels[0]);
}

}  // namespace
}  // namespace vsthost
