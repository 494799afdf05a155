// Program and bank chunks through the dispatcher, presets, and damaged chunks.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/iplug/TestInstance.h"

using namespace vst;

namespace {

template <class Instance>
std::vector<std::uint8_t> GetChunk(Instance& t, int32 index) {
  void* data = nullptr;
  const intptr size = t.Call(effGetChunk, index, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

template <class Instance>
intptr SetChunk(Instance& t, int32 index, const std::vector<std::uint8_t>& bytes) {
  static std::uint8_t empty = 0;  // an empty chunk still comes with a valid pointer
  void* ptr = bytes.empty() ? &empty : const_cast<std::uint8_t*>(bytes.data());
  return t.Call(effSetChunk, index, static_cast<intptr>(bytes.size()), ptr);
}

void PutDouble(std::vector<std::uint8_t>& out, double v) {
  std::uint8_t b[8];
  std::memcpy(b, &v, 8);  // the test machines are little-endian, like the format
  out.insert(out.end(), b, b + 8);
}

void PutInt(std::vector<std::uint8_t>& out, std::int32_t v) {
  std::uint8_t b[4];
  std::memcpy(b, &v, 4);
  out.insert(out.end(), b, b + 4);
}

std::vector<std::uint8_t> Header() { return {'t', 'f', 'f', 'p', 0, 0, 1, 0}; }

TEST(StateChunks, ProgramChunkIsHeaderAndValues) {
  TestInstance<> t;
  t.effect->setParameter(t.effect, 2, 1.0f);
  const auto chunk = GetChunk(t, 1);
  ASSERT_EQ(chunk.size(), 8u + 3 * 8);
  EXPECT_EQ(std::memcmp(chunk.data(), "tffp\0\0\1\0", 8), 0);
  double gain;
  std::memcpy(&gain, chunk.data() + 8 + 16, 8);
  EXPECT_EQ(gain, 3.0);
}

TEST(StateChunks, BankChunkOfTheDefaultPreset) {
  TestInstance<> t;
  const auto bank = GetChunk(t, 0);
  ASSERT_EQ(bank.size(), 8u + 4 + 7 + 1 + 3 * 8);
  std::int32_t length;
  std::memcpy(&length, bank.data() + 8, 4);
  EXPECT_EQ(length, 7);
  EXPECT_EQ(std::string(bank.begin() + 12, bank.begin() + 19), "Default");
  EXPECT_EQ(bank[19], 1);
}

TEST(StateChunks, ProgramRoundTripRestoresValuesAndNotifies) {
  TestInstance<> t;
  t.effect->setParameter(t.effect, 1, 0.5f);
  t.effect->setParameter(t.effect, 2, 0.25f);
  const auto saved = GetChunk(t, 1);
  t.effect->setParameter(t.effect, 1, 0.0f);
  t.effect->setParameter(t.effect, 2, 1.0f);
  t.Plug().changed.clear();
  ASSERT_EQ(SetChunk(t, 1, saved), 1);
  EXPECT_EQ(t.Plug().Param(1)->Value(), 3.0);
  EXPECT_NEAR(t.Plug().Param(2)->Value(), -30.0 + 33.0 * 0.25, 1e-6);
  EXPECT_EQ(t.Plug().changed, (std::vector<int>{0, 1, 2}));
}

TEST(StateChunks, HeaderlessChunkLoadsAsAProgram) {
  TestInstance<> t;
  std::vector<std::uint8_t> bare;
  PutDouble(bare, 1.0);
  PutDouble(bare, 5.0);
  PutDouble(bare, -12.5);
  ASSERT_EQ(SetChunk(t, 0, bare), 1);  // a bank without a header is read as a program
  EXPECT_EQ(t.Plug().Param(0)->Value(), 1.0);
  EXPECT_EQ(t.Plug().Param(1)->Value(), 5.0);
  EXPECT_EQ(t.Plug().Param(2)->Value(), -12.5);
  char name[64];
  t.Call(effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "Default");
  // ...and the current preset took the loaded values.
  const auto bank = GetChunk(t, 0);
  double last;
  std::memcpy(&last, bank.data() + bank.size() - 8, 8);
  EXPECT_EQ(last, -12.5);
}

TEST(StateChunks, ShortChunkAppliesWhatItHasAndFails) {
  TestInstance<> t;
  t.effect->setParameter(t.effect, 2, 1.0f);
  auto chunk = Header();
  PutDouble(chunk, 1.0);  // parameter 0 only
  t.Plug().changed.clear();
  EXPECT_EQ(SetChunk(t, 1, chunk), 0);
  EXPECT_EQ(t.Plug().Param(0)->Value(), 1.0);
  EXPECT_EQ(t.Plug().Param(1)->Value(), 0.0);  // ran out here: clamped 0.0
  EXPECT_EQ(t.Plug().Param(2)->Value(), 3.0);  // untouched
  EXPECT_EQ(t.Plug().changed.size(), 3u);
}

TEST(StateChunks, StoredValuesAreClampedToTheRange) {
  TestInstance<> t;
  auto chunk = Header();
  PutDouble(chunk, 7.0);
  PutDouble(chunk, -3.0);
  PutDouble(chunk, std::numeric_limits<double>::quiet_NaN());
  ASSERT_EQ(SetChunk(t, 1, chunk), 1);
  EXPECT_EQ(t.Plug().Param(0)->Value(), 1.0);
  EXPECT_EQ(t.Plug().Param(1)->Value(), 0.0);
  EXPECT_EQ(t.Plug().Param(2)->Value(), -30.0);  // NaN cannot be a value
}

TEST(StateChunks, MagicWithoutVersionFails) {
  TestInstance<> t;
  EXPECT_EQ(SetChunk(t, 1, {'t', 'f', 'f', 'p', 0, 0}), 0);
  EXPECT_EQ(SetChunk(t, 0, {'t', 'f', 'f', 'p'}), 0);
}

TEST(StateChunks, BankRoundTripKeepsNamesAndValues) {
  TestInstance<> t;
  char name[] = "Bright";
  t.effect->setParameter(t.effect, 1, 1.0f);
  t.Call(effSetProgramName, 0, 0, name);
  const auto bank = GetChunk(t, 0);
  t.effect->setParameter(t.effect, 1, 0.0f);
  char other[] = "Other";
  t.Call(effSetProgramName, 0, 0, other);
  ASSERT_EQ(SetChunk(t, 0, bank), 1);
  char got[64];
  t.Call(effGetProgramName, 0, 0, got);
  EXPECT_STREQ(got, "Bright");
  EXPECT_EQ(t.Plug().Param(1)->Value(), 6.0);
}

TEST(StateChunks, DamagedBanksFailWithoutReadingOutside) {
  TestInstance<> t;
  auto negative = Header();
  PutInt(negative, -100);
  EXPECT_EQ(SetChunk(t, 0, negative), 0);

  auto huge = Header();
  PutInt(huge, 0x7FFFFFF0);
  huge.push_back('x');
  EXPECT_EQ(SetChunk(t, 0, huge), 0);

  auto noFlag = Header();
  PutInt(noFlag, 3);
  noFlag.insert(noFlag.end(), {'a', 'b', 'c'});
  EXPECT_EQ(SetChunk(t, 0, noFlag), 0);

  EXPECT_EQ(SetChunk(t, 0, {}), 0);  // empty and headerless: a program that runs short
  EXPECT_EQ(t.Call(effSetChunk, 1, -5, negative.data()), 0);
  EXPECT_EQ(t.Call(effSetChunk, 1, intptr(1) << 40, negative.data()), 0);
  EXPECT_EQ(t.Call(effSetChunk, 1, 8, nullptr), 0);
}

// Hosts copying a state hand back the very buffer the plug-in lent them.
TEST(StateChunks, SettingTheBufferGetChunkLentLoadsItUnchanged) {
  for (int32 index : {1, 0}) {
    TestInstance<> t;
    t.effect->setParameter(t.effect, 0, 1.0f);
    t.effect->setParameter(t.effect, 1, 0.5f);
    t.effect->setParameter(t.effect, 2, 0.75f);
    const double before[3] = {t.Plug().Param(0)->Value(), t.Plug().Param(1)->Value(),
                              t.Plug().Param(2)->Value()};
    void* lent = nullptr;
    const intptr size = t.Call(effGetChunk, index, 0, &lent);
    ASSERT_GT(size, 0);
    EXPECT_EQ(t.Call(effSetChunk, index, size, lent), 1) << "chunk kind " << index;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(t.Plug().Param(i)->Value(), before[i]) << "chunk kind " << index << ", param " << i;
    }
  }
}

TEST(StateChunks, BufferLentForTheOtherKindLoadsToo) {
  TestInstance<> t;
  t.effect->setParameter(t.effect, 2, 1.0f);
  void* program = nullptr;
  const intptr size = t.Call(effGetChunk, 1, 0, &program);
  ASSERT_GT(size, 0);
  const std::vector<std::uint8_t> copy(static_cast<std::uint8_t*>(program),
                                       static_cast<std::uint8_t*>(program) + size);
  t.effect->setParameter(t.effect, 2, 0.0f);
  EXPECT_EQ(SetChunk(t, 1, copy), 1);  // the program chunk's own buffer is replaced here
  EXPECT_EQ(t.Plug().Param(2)->Value(), 3.0);
}

// A bank whose second preset is flagged filled but runs out of values.
std::vector<std::uint8_t> BankWithDamagedSecondPreset() {
  auto bank = Header();
  PutInt(bank, 1);
  bank.push_back('A');
  bank.push_back(1);
  for (double v : {1.0, 2.0, -6.0}) PutDouble(bank, v);
  PutInt(bank, 1);
  bank.push_back('B');
  bank.push_back(1);
  PutDouble(bank, 0.0);  // one value of three
  return bank;
}

TEST(StateChunks, DamagedBankLeavesNoPresetFlaggedWithoutValues) {
  TestInstance<2> t;  // preset 1 declared, never filled
  EXPECT_EQ(SetChunk(t, 0, BankWithDamagedSecondPreset()), 0);
  EXPECT_EQ(t.Plug().Param(0)->Value(), 1.0);  // the current preset's values are back

  // What the plug-in writes next must load again.
  const auto written = GetChunk(t, 0);
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(SetChunk(t, 0, written), 1);

  // Switching to the preset the damaged bank touched changes no parameter.
  const double before[3] = {t.Plug().Param(0)->Value(), t.Plug().Param(1)->Value(),
                            t.Plug().Param(2)->Value()};
  t.Call(effSetProgram, 0, 1);
  EXPECT_EQ(t.Call(effGetProgram), 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(t.Plug().Param(i)->Value(), before[i]) << "param " << i;
}

TEST(StateChunks, DamagedBankKeepsAFilledPresetsOldValues) {
  TestInstance<2> t;
  t.Call(effSetProgram, 0, 1);  // fills preset 1 from the live values (all defaults)
  t.Call(effSetProgram, 0, 0);
  EXPECT_EQ(SetChunk(t, 0, BankWithDamagedSecondPreset()), 0);
  t.Call(effSetProgram, 0, 1);
  EXPECT_EQ(t.Plug().Param(0)->Value(), 0.0);
  EXPECT_EQ(t.Plug().Param(1)->Value(), 0.0);
  EXPECT_EQ(t.Plug().Param(2)->Value(), 0.0);
}

TEST(StateChunks, EmptyChunkSetsFirstParameterToItsClampedZero) {
  TestInstance<> t;
  t.effect->setParameter(t.effect, 0, 1.0f);
  EXPECT_EQ(SetChunk(t, 1, {}), 0);
  EXPECT_EQ(t.Call(effSetChunk, 1, 0, nullptr), 0);
  EXPECT_EQ(t.Plug().Param(0)->Value(), 0.0);
}

TEST(StateChunks, LongBankNamesAreCutTo255Bytes) {
  TestInstance<> t;
  auto bank = Header();
  const std::string longName(300, 'N');
  PutInt(bank, 300);
  bank.insert(bank.end(), longName.begin(), longName.end());
  bank.push_back(1);
  for (double v : {1.0, 2.0, -3.0}) PutDouble(bank, v);
  ASSERT_EQ(SetChunk(t, 0, bank), 1);
  EXPECT_EQ(t.Plug().Param(2)->Value(), -3.0);
  EXPECT_EQ(std::string(t.Plug().PresetName(0)), std::string(255, 'N'));
}

TEST(StateChunks, RandomBytesNeverCrash) {
  std::mt19937 rng(1234);
  TestInstance<> t;
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> bytes(rng() % 80);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    if (round % 2 == 0 && bytes.size() >= 8) std::memcpy(bytes.data(), "tffp\0\0\1\0", 8);
    SetChunk(t, static_cast<int32>(round % 2), bytes);
    for (int i = 0; i < 3; ++i) {
      const double v = t.Plug().Param(i)->Value();
      ASSERT_GE(v, t.Plug().Param(i)->Min());
      ASSERT_LE(v, t.Plug().Param(i)->Max());
    }
  }
  EXPECT_EQ(t.Plug().PresetCount(), 1);
}

TEST(Presets, SwitchingAwayAndBackRestoresEdits) {
  TestInstance<2> t;  // two declared presets, not yet filled
  char name[64];
  EXPECT_EQ(t.Call(effGetProgramNameIndexed, 1, 0, name), 1);
  EXPECT_STREQ(name, "- 1 -");
  t.effect->setParameter(t.effect, 1, 1.0f);
  t.Call(effSetProgram, 0, 1);
  EXPECT_EQ(t.Call(effGetProgram), 1);
  t.Call(effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "user preset 1");
  t.effect->setParameter(t.effect, 1, 0.0f);
  t.Call(effSetProgram, 0, 0);
  EXPECT_EQ(t.Plug().Param(1)->Value(), 6.0);
  t.Call(effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "- 0 -");
  t.Call(effSetProgram, 0, 1);
  EXPECT_EQ(t.Plug().Param(1)->Value(), 0.0);
}

TEST(Presets, RecallingAnUnfilledPresetNumbersItAsAUserPreset) {
  TestInstance<3> t;
  t.Call(effSetProgram, 0, 1);
  t.Call(effSetProgram, 0, 2);
  char name[64];
  t.Call(effGetProgramNameIndexed, 1, 0, name);
  EXPECT_STREQ(name, "user preset 1");
  t.Call(effGetProgramNameIndexed, 2, 0, name);
  EXPECT_STREQ(name, "user preset 2");
}

TEST(Presets, NamesOutsideTheListAreEmpty) {
  TestInstance<> t;
  EXPECT_STREQ(t.Plug().PresetName(-1), "");
  char name[64] = "x";
  EXPECT_EQ(t.Call(effGetProgramNameIndexed, 5, 0, name), 0);
  EXPECT_STREQ(name, "");
  t.Call(effSetProgram, 0, 5);
  EXPECT_EQ(t.Call(effGetProgram), 0);
}

TEST(Presets, ProgramNamesFromTheHostAreCut) {
  TestInstance<> t;
  std::string longName(400, 'p');
  t.Call(effSetProgramName, 0, 0, longName.data());
  EXPECT_EQ(std::string(t.Plug().PresetName(0)).size(), 255u);
  char name[64];
  t.Call(effGetProgramName, 0, 0, name);
  EXPECT_EQ(std::string(name).size(), 23u);  // the published program-name limit
}

}  // namespace
