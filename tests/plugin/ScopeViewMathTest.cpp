#include "plugin/display/ScopeViewMath.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/engine/ChannelWindow.h"

namespace {

TEST(ScopeViewMath, ViewRunFollowsZoomAndDelay) {
  SampleRun run = ViewRun(48000.0, 0.0, 0.5, 1.0);
  EXPECT_EQ(run.start, 24000);
  EXPECT_EQ(run.count, 24000);
  run = ViewRun(48000.0, 100.0, 0.5, 1.0);  // 4800 samples older
  EXPECT_EQ(run.start, 19200);
  EXPECT_EQ(run.count, 24000);
}

TEST(ScopeViewMath, ViewRunShowsAtLeast32Samples) {
  const SampleRun run = ViewRun(44100.0, 0.0, 0.5, 0.5002);
  EXPECT_EQ(run.count, 32);
  EXPECT_EQ(run.start + run.count, 24009);  // the run ends where the zoom ends
}

TEST(ScopeViewMath, DelayLargerThanTheZoomStartsAtTheWindowStart) {
  SampleRun run = ViewRun(44100.0, 500.0, 0.2, 1.0);
  EXPECT_EQ(run.start, 0);
  EXPECT_EQ(run.count, 48000 - 22050);
  // The delay even passes the zoom's end: still a valid run inside the window.
  run = ViewRun(44100.0, 500.0, 0.0, 0.1);
  EXPECT_GE(run.start, 0);
  EXPECT_EQ(run.count, 32);
  run = ViewRun(384000.0, 500.0, 0.9, 1.0);
  EXPECT_GE(run.start, 0);
  EXPECT_LE(run.start + run.count, kMaxCapture);
  run = ViewRun(std::numeric_limits<double>::infinity(), 1e300, -5.0, 7.0);
  EXPECT_GE(run.start, 0);
  EXPECT_LE(run.start + run.count, kMaxCapture);
}

TEST(ScopeViewMath, SpectrumRunTakesTheNewestSamplesBeforeTheDelay) {
  SampleRun run = SpectrumRun(48000.0, 0.0, 4096);
  EXPECT_EQ(run.start, 48000 - 4096);
  run = SpectrumRun(48000.0, 500.0, 16384);
  EXPECT_EQ(run.start, 48000 - 24000 - 16384);
  run = SpectrumRun(384000.0, 500.0, 16384);
  EXPECT_EQ(run.start, 0);
  EXPECT_EQ(run.count, 16384);
}

TEST(ScopeViewMath, TriggerSearchStartsAtHalfTheRun) {
  std::vector<float> w(1000, 0.0f);
  w[10] = 0.9f;
  w[300] = -0.8f;
  w[600] = 0.9f;
  EXPECT_EQ(FindTrigger(w.data(), 1000, 100, 0.5), 300);
  EXPECT_EQ(FindTrigger(w.data(), 1000, 100, 0.95), -1);
  EXPECT_EQ(FindTrigger(w.data(), 1000, 600, 0.5), -1);  // nothing before 1000 - 1 - 600
  w[400] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(FindTrigger(w.data(), 1000, 350, 0.5), 600);
}

TEST(ScopeViewMath, ReduceColumnsTakesMinAndMaxPerColumn) {
  const float run[] = {0.5f, -0.5f, 0.25f, 0.0f, 1.0f, -1.0f};
  float top[3], bottom[3];
  const TraceRows rows{100.0f, 50.0f, 0.0f, 200.0f};
  ReduceColumns(run, 6, 0, ColumnGrid{6, 3}, 0, 3, top, bottom, rows);
  EXPECT_EQ(top[0], 75.0f);
  EXPECT_EQ(bottom[0], 125.0f);
  EXPECT_EQ(top[1], 87.5f);
  EXPECT_EQ(bottom[1], 100.0f);
  EXPECT_EQ(top[2], 50.0f);
  EXPECT_EQ(bottom[2], 150.0f);
}

TEST(ScopeViewMath, ReduceColumnsClampsToThePlotAndSurvivesBadSamples) {
  const float inf = std::numeric_limits<float>::infinity();
  const float run[] = {inf, -inf, std::numeric_limits<float>::quiet_NaN(), 100.0f};
  float top[4], bottom[4];
  const TraceRows rows{100.0f, 50.0f, 10.0f, 190.0f};
  ReduceColumns(run, 4, 0, ColumnGrid{4, 4}, 0, 4, top, bottom, rows);
  EXPECT_EQ(top[0], 10.0f);
  EXPECT_EQ(bottom[1], 189.0f);
  EXPECT_EQ(top[3], 10.0f);
  for (int c = 0; c < 4; ++c) {
    EXPECT_FALSE(std::isnan(top[c]));
    EXPECT_FALSE(std::isnan(bottom[c]));
  }
}

TEST(ScopeViewMath, ConstantSignalGivesEqualTopAndBottom) {
  std::vector<float> run(538 * 3, 0.3f);
  std::vector<float> top(538), bottom(538);
  ReduceColumns(run.data(), static_cast<int>(run.size()), 0, ColumnGrid{538 * 3, 538}, 0, 538,
                top.data(), bottom.data(), {200.0f, 100.0f, 56.0f, 362.0f});
  for (int c = 0; c < 538; ++c) EXPECT_EQ(top[c], bottom[c]);
}

TEST(ScopeViewMath, GridColumnsTileTheSamplesWithoutGapsOrDrift) {
  const ColumnGrid grid{24000, 538};  // 44.6 samples per column
  EXPECT_EQ(grid.Start(0), 0);
  EXPECT_EQ(grid.Start(538), 24000);
  EXPECT_EQ(grid.Start(538 * 1000 + 17) - grid.Start(17), 24000 * 1000);
  EXPECT_EQ(grid.Start(-1), -45);  // floor, also before position 0
  for (std::int64_t end : {0LL, 1LL, 44LL, 45LL, 46LL, 24000LL, 123456789LL, -100LL}) {
    const std::int64_t last = grid.LastColumnEndingBy(end);
    EXPECT_LE(grid.Start(last + 1), end) << end;
    EXPECT_GT(grid.Start(last + 2), end) << end;
  }
}

// A column keeps its samples wherever it is on screen: the same column reduced
// on its own or among its neighbours gives the same rows.
TEST(ScopeViewMath, GridColumnsReduceTheSameAloneOrTogether) {
  std::vector<float> window(1000);
  for (std::size_t i = 0; i < window.size(); ++i) window[i] = std::sin(0.37f * i);
  const ColumnGrid grid{300, 7};
  const TraceRows rows{100.0f, 50.0f, 0.0f, 200.0f};
  std::vector<float> top(20), bottom(20);
  ReduceColumns(window.data(), 1000, -333, grid, 3, 20, top.data(), bottom.data(), rows);
  for (int c = 0; c < 20; ++c) {
    float t = 0.0f, b = 0.0f;
    ReduceColumns(window.data(), 1000, -333, grid, 3 + c, 1, &t, &b, rows);
    EXPECT_EQ(t, top[c]);
    EXPECT_EQ(b, bottom[c]);
  }
}

TEST(ScopeViewMath, PositionsBeforeTheWindowAreSilence) {
  const std::vector<float> window(100, 0.5f);
  const TraceRows rows{100.0f, 50.0f, 0.0f, 200.0f};
  float top[3], bottom[3];
  // Columns of 10 positions; position p is window index p - 15.
  ReduceColumns(window.data(), 100, 15, ColumnGrid{10, 1}, 0, 3, top, bottom, rows);
  EXPECT_EQ(top[0], 100.0f);  // wholly before the window
  EXPECT_EQ(bottom[0], 100.0f);
  EXPECT_EQ(top[1], 75.0f);  // half before it: silence and 0.5
  EXPECT_EQ(bottom[1], 100.0f);
  EXPECT_EQ(top[2], 75.0f);
  EXPECT_EQ(bottom[2], 75.0f);
}

TEST(ScopeViewMath, PhasePointsLeanTowardsTheLouderInput) {
  // origin at the middle of the bottom edge of (0, 0, 200, 100)
  const PhasePoint same = PlacePhasePoint(0.5, 0.5, 100.0, 100.0, 100, 0, 200, 0, 100);
  EXPECT_EQ(same.x, 100);
  EXPECT_LT(same.y, 100);
  const PhasePoint onlyB = PlacePhasePoint(0.0, 0.5, 100.0, 100.0, 100, 0, 200, 0, 100);
  EXPECT_LT(onlyB.x, 100);  // only the first input of the pair: upper left
  const PhasePoint onlyA = PlacePhasePoint(0.5, 0.0, 100.0, 100.0, 100, 0, 200, 0, 100);
  EXPECT_GT(onlyA.x, 100);
  const PhasePoint mirrored = PlacePhasePoint(-0.5, -0.5, 100.0, 100.0, 100, 0, 200, 0, 100);
  EXPECT_EQ(mirrored.x, same.x);
  EXPECT_EQ(mirrored.y, same.y);
  const PhasePoint wild = PlacePhasePoint(std::numeric_limits<double>::quiet_NaN(), 1e300, 1e9, 1e9,
                                          100, 0, 200, 0, 100);
  EXPECT_GE(wild.x, 0);
  EXPECT_LE(wild.x, 200);
}

}  // namespace
