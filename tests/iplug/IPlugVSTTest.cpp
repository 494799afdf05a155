#include "iplug/IPlugVST.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/iplug/TestInstance.h"

using namespace vst;

namespace {

TEST(IPlugVST, FillsTheEffectRecord) {
  TestInstance<> t;
  AEffect* e = t.effect;
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->magic, kEffectMagic);
  EXPECT_EQ(e->numInputs, 4);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->numParams, 3);
  EXPECT_EQ(e->numPrograms, 1);  // raised by the entry
  EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsCanMono);
  EXPECT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(e->uniqueID, FourCC('T', 's', 't', '1'));
  EXPECT_EQ(t.Call(effIdentify), FourCC('N', 'v', 'E', 'f'));
  EXPECT_EQ(t.Call(effGetVstVersion), 2400);
  EXPECT_EQ(t.Call(effGetPlugCategory), kPlugCategEffect);
}

TEST(IPlugVST, OpenAnnouncesEveryParameterThenResets) {
  TestInstance<> t;
  t.Call(effOpen);
  EXPECT_EQ(t.Plug().changed, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(t.Plug().resets, 1);
}

TEST(IPlugVST, CanDoAnswersByMidiUse) {
  TestInstance<> t;
  char midi[] = "receiveVstMidiEvent";
  char time[] = "receiveVstTimeInfo";
  char cockos[] = "hasCockosExtensions";
  char view[] = "hasCockosViewAsConfig";
  char other[] = "ReceiveVstTimeInfo";
  EXPECT_EQ(t.Call(effCanDo, 0, 0, midi), 0);
  EXPECT_EQ(t.Call(effCanDo, 0, 0, time), 1);
  EXPECT_EQ(t.Call(effCanDo, 0, 0, cockos), static_cast<intptr>(0xBEEF0000));
  EXPECT_EQ(t.Call(effCanDo, 0, 0, view), static_cast<intptr>(0xBEEF0000));
  EXPECT_EQ(t.Call(effCanDo, 0, 0, other), 0);
  EXPECT_EQ(t.Call(effCanDo), 0);

  TestInstance<0, false, true> withMidi;
  EXPECT_EQ(withMidi.Call(effCanDo, 0, 0, midi), 1);
}

TEST(IPlugVST, PinPropertiesNameEveryChannelAndPairThem) {
  TestInstance<> t;
  VstPinProperties pin{};
  ASSERT_EQ(t.Call(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(pin.flags, 3);
  ASSERT_EQ(t.Call(effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Input 2");
  EXPECT_EQ(pin.flags, 1);
  EXPECT_EQ(t.Call(effGetInputProperties, 4, 0, &pin), 0);
  EXPECT_EQ(t.Call(effGetInputProperties, -1, 0, &pin), 0);
  ASSERT_EQ(t.Call(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 2");
  EXPECT_EQ(t.Call(effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(t.Call(effGetOutputProperties, 0, 0, nullptr), 0);
}

TEST(IPlugVST, ParameterStringsAndVendorSpecificDisplay) {
  TestInstance<> t;
  char text[64];
  t.Call(effGetParamName, 2, 0, text);
  EXPECT_STREQ(text, "gain");
  t.Call(effGetParamLabel, 2, 0, text);
  EXPECT_STREQ(text, "dB");
  t.Call(effGetParamDisplay, 1, 0, text);
  EXPECT_STREQ(text, "a");

  std::strcpy(text, "untouched");
  t.Call(effGetParamName, 3, 0, text);
  t.Call(effGetParamDisplay, -1, 0, text);
  EXPECT_STREQ(text, "untouched");

  EXPECT_EQ(t.Call(effVendorSpecific, effGetParamDisplay, 2, text, 1.0f), 0xBEEF);
  EXPECT_STREQ(text, "3.0");
  std::strcpy(text, "untouched");
  EXPECT_EQ(t.Call(effVendorSpecific, effGetParamDisplay, 99, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(t.Call(effVendorSpecific, 8, 2, text, 0.5f), 0);
  EXPECT_EQ(t.Call(effVendorSpecific, effGetParamDisplay, 2, nullptr, 0.5f), 0);
}

TEST(IPlugVST, GetAndSetParameterEntries) {
  TestInstance<> t;
  t.effect->setParameter(t.effect, 1, 0.5f);
  EXPECT_EQ(t.Plug().Param(1)->Value(), 3.0);
  EXPECT_FLOAT_EQ(t.effect->getParameter(t.effect, 1), 0.5f);
  EXPECT_EQ(t.effect->getParameter(t.effect, 3), 0.0f);
  t.effect->setParameter(t.effect, -1, 0.5f);
  t.effect->setParameter(t.effect, 2, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(t.Plug().Param(2)->Value(), 0.0);
  EXPECT_EQ(t.host.Count(audioMasterAutomate), 0);  // host changes are not echoed
  EXPECT_EQ(t.Call(effCanBeAutomated, 2), 1);
}

TEST(IPlugVST, SpeakerArrangementRoutesTheFirstHostBufferToInputOne) {
  TestInstance<> t;
  VstSpeakerArrangement in{};
  in.numChannels = 1;
  VstSpeakerArrangement out{};
  out.numChannels = 2;
  EXPECT_EQ(t.Call(effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), &out), 1);
  EXPECT_TRUE(t.Plug().InputConnected(0));
  EXPECT_FALSE(t.Plug().InputConnected(1));
  EXPECT_FALSE(t.Plug().InputConnected(3));

  std::vector<float> a(8, 0.5f), b(8, 0.25f), o1(8, 9.0f), o2(8, 9.0f);
  float* ins[] = {a.data(), b.data()};
  float* outs[] = {o1.data(), o2.data()};
  t.effect->processReplacing(t.effect, ins, outs, 8);
  EXPECT_EQ(o1[7], 0.5f);
  EXPECT_EQ(o2[7], 0.0f);  // input 2 reads silence

  VstSpeakerArrangement huge{};
  huge.numChannels = 1000;
  VstSpeakerArrangement negative{};
  negative.numChannels = -5;
  t.Call(effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&huge), &negative);
  EXPECT_TRUE(t.Plug().InputConnected(3));
  EXPECT_FALSE(t.Plug().OutputConnected(0));

  VstSpeakerArrangement* gotIn = nullptr;
  VstSpeakerArrangement* gotOut = nullptr;
  EXPECT_EQ(t.Call(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&gotIn), &gotOut), 1);
  ASSERT_NE(gotIn, nullptr);
  EXPECT_EQ(gotIn->numChannels, 4);
  EXPECT_EQ(gotOut->numChannels, 2);
}

TEST(IPlugVST, AccumulatingProcessAddsAndReplacingOverwrites) {
  TestInstance<> t;
  std::vector<float> in[4];
  for (auto& channel : in) channel.assign(16, 0.25f);
  std::vector<float> out[2] = {std::vector<float>(16, 1.0f), std::vector<float>(16, 1.0f)};
  float* ins[] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outs[] = {out[0].data(), out[1].data()};
  t.effect->process(t.effect, ins, outs, 16);
  EXPECT_EQ(out[0][15], 1.25f);
  t.effect->processReplacing(t.effect, ins, outs, 16);
  EXPECT_EQ(out[1][0], 0.25f);

  std::vector<double> din(16, -0.5), dout(16, 3.0);
  double* dins[] = {din.data(), din.data(), din.data(), din.data()};
  double* douts[] = {dout.data(), dout.data()};
  t.effect->processDoubleReplacing(t.effect, dins, douts, 16);
  EXPECT_EQ(dout[3], -0.5);
}

TEST(IPlugVST, BlocksLongerThanAnnouncedAreProcessedInSlices) {
  TestInstance<> t;
  t.Call(effSetBlockSize, 0, 64);
  const int n = 1000;
  std::vector<float> in(n), out(n, 0.0f), silent(n, 0.0f), drop(n);
  for (int i = 0; i < n; ++i) in[i] = static_cast<float>(i);
  float* ins[] = {in.data(), silent.data(), silent.data(), silent.data()};
  float* outs[] = {out.data(), drop.data()};
  t.effect->processReplacing(t.effect, ins, outs, n);
  for (int i = 0; i < n; ++i) ASSERT_EQ(out[i], in[i]) << i;

  std::vector<double> din(in.begin(), in.end()), dout(n, 0.0), dsilent(n, 0.0), ddrop(n);
  double* dins[] = {din.data(), dsilent.data(), dsilent.data(), dsilent.data()};
  double* douts[] = {dout.data(), ddrop.data()};
  t.effect->processDoubleReplacing(t.effect, dins, douts, n);
  for (int i = 0; i < n; ++i) ASSERT_EQ(dout[i], din[i]) << i;
}

// A plug-in that takes float blocks gets the host's own buffers, slice by slice,
// whenever that is safe; otherwise the block takes the double path.
TEST(IPlugVST, FloatBlocksGoToAPlugInThatTakesThemAsTheHostsBuffers) {
  TestInstance<> t;
  t.Plug().takesFloats = true;
  t.Call(effSetBlockSize, 0, 64);
  const int n = 150;
  std::vector<float> in[4], out[2] = {std::vector<float>(n), std::vector<float>(n)};
  for (int c = 0; c < 4; ++c) {
    in[c].resize(n);
    for (int i = 0; i < n; ++i) in[c][i] = float(c * 1000 + i);
  }
  float* ins[] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outs[] = {out[0].data(), out[1].data()};
  t.effect->processReplacing(t.effect, ins, outs, n);
  ASSERT_EQ(t.Plug().floatBlocks.size(), 3u);
  EXPECT_EQ(t.Plug().doubleBlocks, 0);
  int offset = 0;
  for (const TestPlug::FloatBlock& b : t.Plug().floatBlocks) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(b.in[c], ins[c] + offset);
    for (int c = 0; c < 2; ++c) EXPECT_EQ(b.out[c], outs[c] + offset);
    offset += b.frames;
  }
  EXPECT_EQ(offset, n);
  EXPECT_EQ(out[1], in[1]);

  // Processing in place: each output is its own input's buffer.
  t.Plug().floatBlocks.clear();
  t.effect->processReplacing(t.effect, ins, ins, 64);
  EXPECT_EQ(t.Plug().floatBlocks.size(), 1u);

  // Output 1 writes into input 2's buffer: the plug-in could overwrite what it
  // has yet to read, so the block goes through the double copies.
  t.Plug().floatBlocks.clear();
  const std::vector<float> second = in[1];
  float* crossed[] = {in[1].data(), out[1].data()};
  t.effect->processReplacing(t.effect, ins, crossed, n);
  EXPECT_TRUE(t.Plug().floatBlocks.empty());
  EXPECT_EQ(t.Plug().doubleBlocks, 3);
  EXPECT_EQ(in[1], in[0]);
  EXPECT_EQ(out[1], second);

  // A connected channel without a buffer, and the accumulating call: double path.
  float* missing[] = {in[0].data(), nullptr, in[2].data(), in[3].data()};
  t.effect->processReplacing(t.effect, missing, outs, 64);
  EXPECT_EQ(out[1][5], 0.0f);
  t.effect->process(t.effect, ins, outs, 64);
  EXPECT_TRUE(t.Plug().floatBlocks.empty());
  EXPECT_EQ(t.Plug().doubleBlocks, 5);
}

TEST(IPlugVST, NonFiniteSamplesPassThroughUnchanged) {
  TestInstance<> t;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> in = {nan, inf, -inf, 1.0f}, out(4, 0.0f), other(4, 0.0f);
  float* ins[] = {in.data(), in.data(), in.data(), in.data()};
  float* outs[] = {out.data(), other.data()};
  t.effect->processReplacing(t.effect, ins, outs, 4);
  EXPECT_TRUE(std::isnan(out[0]));
  EXPECT_EQ(out[1], inf);
  EXPECT_EQ(out[2], -inf);
}

TEST(IPlugVST, NullBuffersAndEmptyBlocksAreHarmless) {
  TestInstance<> t;
  t.effect->processReplacing(t.effect, nullptr, nullptr, 64);
  t.effect->process(t.effect, nullptr, nullptr, 0);
  t.effect->processDoubleReplacing(t.effect, nullptr, nullptr, 64);
  t.effect->processReplacing(t.effect, nullptr, nullptr, -5);
  std::vector<float> out(64, 7.0f);
  float* outs[] = {out.data(), nullptr};
  t.effect->processReplacing(t.effect, nullptr, outs, 64);
  EXPECT_EQ(out[10], 0.0f);
}

TEST(IPlugVST, SampleRateOfZeroOrNonsenseKeepsThePreviousRate) {
  TestInstance<> t;
  t.Call(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::infinity()}) {
    t.Call(effSetSampleRate, 0, 0, nullptr, bad);
    EXPECT_EQ(t.Plug().SampleRate(), 96000.0);
  }
}

TEST(IPlugVST, EveryOpcodeSurvivesNullPointersAndWildIndices) {
  TestInstance<> t;
  for (int32 opcode = 0; opcode < 80; ++opcode) {
    if (opcode == effClose) continue;
    for (int32 index : {-1, 0, 1, 3, 1000, std::numeric_limits<int32>::min()}) {
      for (intptr value : {intptr(0), intptr(-1), intptr(7)}) {
        if (opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement) {
          if (value != 0) continue;  // value is a pointer for these two
        }
        t.Call(opcode, index, value, nullptr, -1.0f);
      }
    }
  }
  EXPECT_EQ(t.effect->magic, kEffectMagic);
  EXPECT_EQ(t.Plug().SampleRate(), 44100.0);
}

TEST(IPlugVST, HostTimeQueriesUseTheValidFlags) {
  TestInstance<> t;
  t.host.time.samplePos = 12345.9;
  t.host.time.tempo = 120.0;
  t.host.time.timeSigNumerator = 7;
  t.host.time.timeSigDenominator = 8;
  t.host.time.flags = kVstTempoValid;
  EXPECT_EQ(t.Plug().HostSamplePos(), 12345);
  EXPECT_EQ(t.Plug().HostTempo(), 120.0);
  int num = -1, den = -1;
  t.Plug().HostTimeSig(&num, &den);
  EXPECT_EQ(num, 0);  // signature not flagged valid
  t.host.time.flags |= kVstTimeSigValid;
  t.Plug().HostTimeSig(&num, &den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  t.host.time.samplePos = -5.0;
  EXPECT_EQ(t.Plug().HostSamplePos(), 0);
  t.host.answerTime = false;
  EXPECT_EQ(t.Plug().HostTempo(), 0.0);
  EXPECT_EQ(t.Plug().HostSamplePos(), 0);
}

TEST(IPlugVST, MidiGoesOutAsOneEventAndComesInAsMessages) {
  TestInstance<0, false, true> t;
  EXPECT_TRUE(t.Plug().SendMidi({5, 0x90, 60, 100}));
  t.host.eventsResult = 0;
  EXPECT_FALSE(t.Plug().SendMidiList({{0, 0x80, 60, 0}, {1, 0x90, 61, 1}}));

  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof(VstMidiEvent);
  note.deltaFrames = 3;
  note.midiData[0] = char(0x90);
  note.midiData[1] = 64;
  note.midiData[2] = 90;
  VstEvent sysex{};
  sysex.type = 6;
  VstEvents events{};
  events.numEvents = 2;
  events.events[0] = reinterpret_cast<VstEvent*>(&note);
  events.events[1] = &sysex;
  const int before = t.host.Count(audioMasterProcessEvents);
  EXPECT_EQ(t.Call(effProcessEvents, 0, 0, &events), 1);
  ASSERT_EQ(t.Plug().midi.size(), 1u);
  EXPECT_EQ(t.Plug().midi[0].offset, 3);
  EXPECT_EQ(t.Plug().midi[0].data1, 64);
  EXPECT_EQ(t.host.Count(audioMasterProcessEvents), before + 1);  // the other event goes back
  EXPECT_EQ(t.Call(effProcessEvents, 0, 0, nullptr), 0);

  std::vector<float> buf(4);
  float* io[] = {buf.data(), buf.data(), buf.data(), buf.data()};
  t.effect->processReplacing(t.effect, io, io, 4);
  EXPECT_GE(t.host.Count(audioMasterWantMidi), 1);
}

// Hosts send lists longer than the record's declared two pointers, laid out as a
// longer record of the same shape.
TEST(IPlugVST, EventListsLongerThanTwoAreReadWhole) {
  TestInstance<0, false, true> t;
  constexpr int kEvents = 5;
  VstMidiEvent notes[kEvents]{};
  struct {
    int32 numEvents;
    intptr reserved;
    VstEvent* events[kEvents];
  } list{};
  list.numEvents = kEvents;
  for (int i = 0; i < kEvents; ++i) {
    notes[i].type = kVstMidiType;
    notes[i].byteSize = sizeof(VstMidiEvent);
    notes[i].deltaFrames = i;
    notes[i].midiData[0] = char(0x90);
    notes[i].midiData[1] = static_cast<char>(60 + i);
    list.events[i] = reinterpret_cast<VstEvent*>(&notes[i]);
  }
  EXPECT_EQ(t.Call(effProcessEvents, 0, 0, &list), 1);
  ASSERT_EQ(t.Plug().midi.size(), static_cast<std::size_t>(kEvents));
  EXPECT_EQ(t.Plug().midi[kEvents - 1].data1, 60 + kEvents - 1);
}

TEST(IPlugVST, MidiKeyNameIsClearedAndRefusedByDefault) {
  TestInstance<> t;
  MidiKeyName key{};
  std::memset(key.keyName, 'x', sizeof(key.keyName));
  key.thisKeyNumber = 60;
  EXPECT_EQ(t.Call(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_EQ(key.keyName[0], '\0');
}

TEST(IPlugVST, EditorOpcodesWithoutGraphicsAnswerZero) {
  TestInstance<> t;
  ERect* rect = nullptr;
  EXPECT_EQ(t.Call(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, nullptr);
  EXPECT_EQ(t.Call(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
  EXPECT_EQ(t.Call(effEditClose), 0);
  EXPECT_EQ(t.effect->flags & effFlagsHasEditor, 0);
}

TEST(IPlugVST, StringsGoToTheHostCut) {
  TestInstance<> t;
  char name[64];
  EXPECT_EQ(t.Call(effGetEffectName, 0, 0, name), 1);
  EXPECT_STREQ(name, "TestPlug");
  EXPECT_EQ(t.Call(effGetVendorString, 0, 0, name), 1);
  EXPECT_STREQ(name, "Tester");
  EXPECT_EQ(t.Call(effGetProductString, 0, 0, name), 1);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(t.Call(effGetEffectName), 0);
}

}  // namespace
