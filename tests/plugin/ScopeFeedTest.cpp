#include "plugin/engine/ScopeFeed.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "tests/plugin/FakeDisplay.h"

namespace {

std::vector<double> Ramp(int from, int count) {
  std::vector<double> v(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) v[static_cast<std::size_t>(i)] = from + i;
  return v;
}

struct Windows {
  ChannelWindow channel[4];
  ChannelWindow* all[4] = {&channel[0], &channel[1], &channel[2], &channel[3]};
  Windows() {
    for (auto& c : channel) c.enabled = true;
  }
};

TEST(ScopeFeed, KeepsTheNewestSamplesWhenTheQueueWouldOverflow) {
  ScopeFeed feed;
  const auto first = Ramp(0, 47900);
  feed.Capture(0, first.data(), 47900);
  const auto block = Ramp(47900, 512);
  feed.Capture(0, block.data(), 512);
  EXPECT_EQ(feed.Queue(0).Held(), kMaxCapture * 4);
  float oldest = -1, newest = -1;
  feed.Queue(0).Peek(0, &oldest, 4);
  feed.Queue(0).Peek((kMaxCapture - 1) * 4, &newest, 4);
  EXPECT_EQ(oldest, 412.0f);  // 412 samples were dropped from the head
  EXPECT_EQ(newest, 48411.0f);
}

TEST(ScopeFeed, BlocksLongerThanTheWindowKeepOnlyTheirTail) {
  ScopeFeed feed;
  const auto huge = Ramp(0, 100000);
  feed.Capture(2, huge.data(), 100000);
  EXPECT_EQ(feed.Queue(2).Held(), kMaxCapture * 4);
  float oldest = -1;
  feed.Queue(2).Peek(0, &oldest, 4);
  EXPECT_EQ(oldest, 52000.0f);
  feed.AddPending(100000);
  EXPECT_EQ(feed.Pending(), kMaxCapture);
}

TEST(ScopeFeed, PullShiftsTheWindowAndAppendsTheQueuedSamples) {
  ScopeFeed feed;
  Windows w;
  const auto a = Ramp(1, 100);
  feed.Capture(0, a.data(), 100);
  feed.AddPending(100);
  EXPECT_EQ(feed.Pull(w.all, nullptr), 100);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 1], 100.0f);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 100], 1.0f);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 101], 0.0f);
  // A second pull with 50 new samples moves the window by 50 and appends them: the
  // window is the input's history, with no sample shown twice.
  const auto b = Ramp(101, 50);
  feed.Capture(0, b.data(), 50);
  feed.AddPending(50);
  EXPECT_EQ(feed.Pull(w.all, nullptr), 50);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 1], 150.0f);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 150], 1.0f);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 151], 0.0f);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 250], 0.0f);
}

TEST(ScopeFeed, AReenabledInputCatchesUpAndAResetWindowRefills) {
  ScopeFeed feed;
  Windows w;
  feed.Capture(0, Ramp(1, 100).data(), 100);
  feed.Pull(w.all, nullptr);
  w.channel[0].enabled = false;
  feed.Capture(0, Ramp(101, 30).data(), 30);
  feed.Pull(w.all, nullptr);  // not pulled while off
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 1], 100.0f);
  w.channel[0].enabled = true;
  feed.Pull(w.all, nullptr);  // on again: the 30 it missed follow the 100 it had
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 1], 130.0f);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 130], 1.0f);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 131], 0.0f);
  // A display reset clears the window and asks for everything again.
  std::fill(w.channel[0].samples.begin(), w.channel[0].samples.end(), 0.0f);
  w.channel[0].pulledUpTo = -1;
  feed.Pull(w.all, nullptr);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 1], 130.0f);
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 130], 1.0f);
}

TEST(ScopeFeed, PullRightAfterPullReturnsZeroAndKeepsAFullWindow) {
  ScopeFeed feed;
  Windows w;
  const auto full = Ramp(0, kMaxCapture);
  feed.Capture(1, full.data(), kMaxCapture);
  feed.AddPending(kMaxCapture);
  feed.Pull(w.all, nullptr);
  const auto before = w.channel[1].samples;
  EXPECT_EQ(feed.Pull(w.all, nullptr), 0);
  EXPECT_EQ(w.channel[1].samples, before);
  EXPECT_EQ(before.front(), 0.0f);
  EXPECT_EQ(before.back(), float(kMaxCapture - 1));
}

TEST(ScopeFeed, LevelTextsAndDisabledInputs) {
  ScopeFeed feed;
  Windows w;
  FakeDisplay display;
  const auto a = Ramp(1, 10);
  feed.Capture(2, a.data(), 10);
  w.channel[0].level = 0.0;
  w.channel[1].level = 0.5;
  w.channel[2].enabled = false;
  w.channel[3].level = -1.0;
  feed.Pull(w.all, &display);
  EXPECT_EQ(display.levelText[0], "-oo");
  EXPECT_EQ(display.levelText[1], "-6.0");
  EXPECT_EQ(display.levelText[2], "");
  EXPECT_EQ(display.levelText[3], "-oo");
  EXPECT_EQ(w.channel[2].samples.back(), 0.0f);  // a disabled window is not touched
}

TEST(ScopeFeed, NonFiniteSamplesAreCapturedWithoutBreakingTheCounts) {
  ScopeFeed feed;
  Windows w;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> bad = {nan, std::numeric_limits<double>::infinity(), 1e300, 0.5};
  feed.Capture(0, bad.data(), 4);
  feed.AddPending(4);
  EXPECT_EQ(feed.Pull(w.all, nullptr), 4);
  EXPECT_TRUE(std::isnan(w.channel[0].samples[kMaxCapture - 4]));
  EXPECT_TRUE(std::isinf(w.channel[0].samples[kMaxCapture - 2]));
  EXPECT_EQ(w.channel[0].samples[kMaxCapture - 1], 0.5f);
}

}  // namespace
