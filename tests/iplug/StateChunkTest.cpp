#include "iplug/StateChunk.h"

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

namespace {

TEST(StateChunk, GrowsInStepsAndShrinksOnlyWhenFarTooLarge) {
  StateChunk chunk;
  EXPECT_EQ(chunk.Data(), nullptr);
  ASSERT_TRUE(chunk.Resize(10));
  EXPECT_EQ(chunk.Size(), 10);
  EXPECT_EQ(chunk.Capacity(), 10 + StateChunk::kGranularity);
  ASSERT_TRUE(chunk.Resize(100));
  EXPECT_EQ(chunk.Capacity(), 10 + StateChunk::kGranularity);  // still fits: no realloc

  ASSERT_TRUE(chunk.Resize(40000));
  EXPECT_EQ(chunk.Capacity(), 40000 + StateChunk::kGranularity);
  ASSERT_TRUE(chunk.Resize(30000));
  EXPECT_EQ(chunk.Capacity(), 40000 + StateChunk::kGranularity);  // within 4 steps
  ASSERT_TRUE(chunk.Resize(1000));
  EXPECT_EQ(chunk.Capacity(), 1000);
  ASSERT_TRUE(chunk.Resize(0));
  EXPECT_EQ(chunk.Data(), nullptr);
}

TEST(StateChunk, KeepsBytesAcrossResizeAndZeroFillsWhenAsked) {
  StateChunk chunk;
  ASSERT_TRUE(chunk.Append("abcdef", 6));
  ASSERT_TRUE(chunk.Resize(3));
  ASSERT_TRUE(chunk.ResizeZeroFilled(6));
  EXPECT_EQ(std::memcmp(chunk.Data(), "abc\0\0\0", 6), 0);
  ASSERT_TRUE(chunk.Append(nullptr, 2));
  EXPECT_EQ(chunk.Size(), 8);
  EXPECT_EQ(chunk.Data()[7], 0);
}

TEST(StateChunk, WritesLittleEndianAndReadsBack) {
  StateChunk chunk;
  ASSERT_TRUE(chunk.PutInt32(0x70666674));
  ASSERT_TRUE(chunk.PutDouble(-12.5));
  EXPECT_EQ(std::memcmp(chunk.Data(), "tffp", 4), 0);
  // -12.5 is 0xC029000000000000: the sign byte comes last.
  EXPECT_EQ(chunk.Data()[11], 0xC0);
  EXPECT_EQ(chunk.Data()[10], 0x29);
  std::int32_t magic = 0;
  double value = 0;
  EXPECT_EQ(chunk.GetInt32(&magic, 0), 4);
  EXPECT_EQ(chunk.GetDouble(&value, 4), 12);
  EXPECT_EQ(magic, 0x70666674);
  EXPECT_EQ(value, -12.5);
}

TEST(StateChunk, ReadersRefuseToReadPastTheEnd) {
  StateChunk chunk;
  ASSERT_TRUE(chunk.PutInt32(7));
  std::int32_t v = 99;
  double d = 1.0;
  EXPECT_EQ(chunk.GetInt32(&v, 1), -1);
  EXPECT_EQ(chunk.GetDouble(&d, 0), -1);
  EXPECT_EQ(chunk.GetInt32(&v, -1), -1);
  EXPECT_EQ(chunk.GetInt32(&v, INT_MAX), -1);
  char byte;
  EXPECT_EQ(chunk.GetBytes(&byte, -1, 0), -1);
  EXPECT_EQ(v, 99);
  EXPECT_EQ(d, 1.0);
}

TEST(StateChunk, RefusesSizesThatWouldOverflow) {
  StateChunk chunk;
  EXPECT_FALSE(chunk.Resize(-1));
  EXPECT_FALSE(chunk.Resize(INT_MAX));
  ASSERT_TRUE(chunk.Append("x", 1));
  EXPECT_FALSE(chunk.Append("x", INT_MAX));
  EXPECT_FALSE(chunk.Append("x", -5));
  EXPECT_EQ(chunk.Size(), 1);
}

}  // namespace
