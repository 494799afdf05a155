#include "plugin/engine/SampleQueue.h"

#include <numeric>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<int> Ints(int from, int count) {
  std::vector<int> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), from);
  return v;
}

std::vector<int> PeekInts(const SampleQueue& q, int pos, int count) {
  std::vector<int> v(static_cast<std::size_t>(count), -1);
  const int copied = q.Peek(pos * 4, v.data(), count * 4);
  v.resize(static_cast<std::size_t>(copied / 4));
  return v;
}

TEST(SampleQueue, KeepsOrderAcrossChunkBoundaries) {
  SampleQueue q;
  const int perChunk = SampleQueue::kChunkBytes / 4;  // 16368 ints
  const auto data = Ints(0, 40000);
  q.Append(data.data(), 40000 * 4);
  EXPECT_EQ(q.Held(), 40000 * 4);
  EXPECT_EQ(q.ChunkCount(), 3);
  EXPECT_EQ(PeekInts(q, perChunk - 2, 4), Ints(perChunk - 2, 4));
  EXPECT_EQ(PeekInts(q, 39998, 10), Ints(39998, 2));  // fewer than asked
  EXPECT_TRUE(PeekInts(q, 40000, 10).empty());
}

TEST(SampleQueue, DiscardMovesEmptiedChunksToTheSparesAndReusesThem) {
  SampleQueue q;
  const int perChunk = SampleQueue::kChunkBytes / 4;
  const auto data = Ints(0, 2 * perChunk);
  q.Append(data.data(), 2 * perChunk * 4);
  q.Discard((perChunk + 10) * 4);
  EXPECT_EQ(q.ChunkCount(), 1);
  EXPECT_EQ(q.SpareCount(), 1);
  EXPECT_EQ(PeekInts(q, 0, 3), Ints(perChunk + 10, 3));
  const auto more = Ints(1000000, perChunk);
  q.Append(more.data(), perChunk * 4);
  EXPECT_EQ(q.SpareCount(), 0);
  EXPECT_EQ(q.ChunkCount(), 2);
  EXPECT_EQ(PeekInts(q, perChunk - 10, 2), Ints(1000000, 2));
}

TEST(SampleQueue, AQueueToldItsLimitNeverCreatesChunksLater) {
  const int limit = 48000 * 4;
  SampleQueue q(limit);
  const int made = q.SpareCount();
  EXPECT_EQ(made, limit / SampleQueue::kChunkBytes + 2);
  // Slide a full window through the queue in odd-sized steps, as capture does.
  const auto block = Ints(0, 997);
  for (int round = 0; round < 2000; ++round) {
    const int excess = q.Held() + 997 * 4 - limit;
    if (excess > 0) q.Discard(excess);
    q.Append(block.data(), 997 * 4);
    ASSERT_EQ(q.ChunkCount() + q.SpareCount(), made) << round;
  }
  EXPECT_EQ(q.Held(), limit);
}

TEST(SampleQueue, DiscardingEverythingEmptiesTheQueue) {
  SampleQueue q;
  const auto data = Ints(0, 100);
  q.Append(data.data(), 400);
  q.Discard(1000);
  EXPECT_EQ(q.Held(), 0);
  EXPECT_EQ(q.ChunkCount(), 0);
  q.Append(data.data(), 8);
  EXPECT_EQ(PeekInts(q, 0, 2), Ints(0, 2));
}

TEST(SampleQueue, AppendWithoutSourceAddsZerosAndBadArgumentsDoNothing) {
  SampleQueue q;
  q.Append(nullptr, 12);
  EXPECT_EQ(PeekInts(q, 0, 3), std::vector<int>(3, 0));
  q.Append(nullptr, -4);
  q.Discard(-4);
  EXPECT_EQ(q.Held(), 12);
  int sink = 0;
  EXPECT_EQ(q.Peek(-4, &sink, 4), 0);
  EXPECT_EQ(q.Peek(0, nullptr, 4), 0);
}

}  // namespace
