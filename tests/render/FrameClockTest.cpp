#include <gtest/gtest.h>

#include "tools/virlex-render/FrameClock.h"

using namespace render;

TEST(FrameClock, BeatsFallOnTheNearestSampleAtAnyRate) {
  EXPECT_EQ(FrameSample(24, 48000.0), 48000);
  EXPECT_EQ(FrameSample(1, 48000.0), 2000);
  // 44100 / 24 = 1837.5 samples a frame: beats alternate, never drift.
  EXPECT_EQ(FrameSample(1, 44100.0), 1838);
  EXPECT_EQ(FrameSample(2, 44100.0), 3675);
  EXPECT_EQ(FrameSample(24 * 3600, 44100.0), 44100LL * 3600);
  EXPECT_EQ(FrameSample(-3, 44100.0), 0);
  EXPECT_EQ(FrameAt(1.0), 24);
  EXPECT_EQ(FrameAt(1.0 / 24 * 2.4), 2);  // nearest beat
  EXPECT_EQ(FrameAt(-1.0), 0);
  EXPECT_EQ(SampleAt(0.5, 8000.0), 4000);
  EXPECT_EQ(SampleAt(-0.5, 8000.0), 0);
}

TEST(FrameClock, PlanOrdersActionsBeforeTheBeatTheyShareAndDropsLateOnes) {
  // Beats at 0, 2000, 4000, 6000; actions at 2000 (on a beat), 3000, 5000 and past the end.
  const std::vector<double> times = {3000.0 / 48000, 2000.0 / 48000, 7000.0 / 48000,
                                     5000.0 / 48000};
  const auto steps = PlanRun(48000.0, 3, {1, 3}, times);
  ASSERT_EQ(steps.size(), 4u + 3u);
  std::int64_t last = -1;
  for (const Step& s : steps) {
    EXPECT_GE(s.sample, last);
    last = s.sample;
  }
  EXPECT_EQ(steps[0].kind, StepKind::kTick);
  EXPECT_FALSE(steps[0].write);
  EXPECT_EQ(steps[1].kind, StepKind::kAction);
  EXPECT_EQ(steps[1].index, 1);  // the action at 2000 comes before frame 1's beat
  EXPECT_EQ(steps[2].kind, StepKind::kTick);
  EXPECT_EQ(steps[2].index, 1);
  EXPECT_TRUE(steps[2].write);
  EXPECT_EQ(steps[3].index, 0);  // the action at 3000
  EXPECT_EQ(steps[5].kind, StepKind::kAction);
  EXPECT_EQ(steps[5].index, 3);
  EXPECT_EQ(steps[6].index, 3);
  EXPECT_TRUE(steps[6].write);
}

TEST(FrameClock, ActionsAtOneMomentKeepCommandLineOrder) {
  const auto steps = PlanRun(48000.0, 12, {12}, {0.5, 0.5, 0.5});
  std::vector<int> order;
  for (const Step& s : steps)
    if (s.kind == StepKind::kAction) order.push_back(s.index);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}
