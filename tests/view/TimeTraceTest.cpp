// The time display while audio plays: the picture kept between redraws and
// scrolled must always be the picture a fresh drawing of the same samples gives,
// and a trace must sit where the time axis says its samples are, however the host
// slices the audio and however many redraws have passed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "plugin/display/ScopeViewMath.h"
#include "tests/view/ViewHarness.h"

using namespace viewtest;

namespace {

// Four different inputs with detail at every scale: tones, a slow sweep and clicks.
float Busy(int input, long i) {
  const double t = static_cast<double>(i);
  const double tone = std::sin(t * (0.01 + 0.013 * input)) * 0.5;
  const double sweep = std::sin(t * t * 1e-9 * (input + 1)) * 0.3;
  const double click = (i % (997 + 31 * input)) < 3 ? 0.6 : 0.0;
  return static_cast<float>(tone + sweep + click);
}

// Block sizes a host might use, cycled; ticks fall between blocks at odd places.
constexpr int kBlocks[] = {1, 7, 100, 333, 512, 64, 900, 19};

struct Layout {
  const char* name;
  double xLow;
  double xHigh;
  double delay2Ms;  // input 2's delay
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

class IncrementalPicture : public ::testing::TestWithParam<Layout> {
 protected:
  void Configure(Harness& h) {
    const Layout& l = GetParam();
    for (int n = 0; n < 4; ++n) h.Set(kParamInput1 + n, 1.0);
    h.Set(kParamXZoomLow, l.xLow);
    h.Set(kParamXZoomHigh, l.xHigh);
    h.Set(kParamDelay1 + 1, std::sqrt(l.delay2Ms / 500.0));  // the delay's curve is 2
  }
};

TEST_P(IncrementalPicture, EqualsAFullRecomputeOfTheSameSamples) {
  Harness h;
  Configure(h);
  h.Play(30000, Busy);  // redraws at least once per window's worth of audio, as
  h.Tick();             // a running editor does: the display counts every sample
  h.Play(30000, Busy);
  h.Tick();
  // 60 redraws with partial blocks between them: the picture only scrolls.
  std::size_t b = 0;
  for (int frame = 0; frame < 60; ++frame) {
    for (int k = 0; k < 5; ++k) h.PlayBlock(kBlocks[b++ % std::size(kBlocks)], Busy);
    h.Tick();
  }
  const std::vector<IRgba> scrolled = h.Pixels(kView);

  // The same Y zoom again: every column is computed anew, nothing new pulled.
  h.Set(kParamYZoom, h.e.Normalized(kParamYZoom));
  h.Tick();
  const std::vector<IRgba> recomputed = h.Pixels(kView);
  EXPECT_EQ(Differing(scrolled, recomputed), 0)
      << "columns" << DifferingColumns(scrolled, recomputed, kView);

  // Another editor, fed the same audio in large blocks with few redraws.
  Harness other;
  Configure(other);
  for (long done = 0; done < h.clock;) {
    const long n = std::min<long>(24000, h.clock - done);
    other.Play(n, Busy, 4096);
    other.Tick();
    done += n;
  }
  const std::vector<IRgba> fresh = other.Pixels(kView);
  EXPECT_EQ(Differing(scrolled, fresh), 0) << "columns" << DifferingColumns(scrolled, fresh, kView);
}

INSTANTIATE_TEST_SUITE_P(View, IncrementalPicture,
                         ::testing::Values(Layout{"default", 0.5, 1.0, 0.0},
                                           // Input 2's delay reaches past the window's start: its
                                           // columns there lose samples as the window moves on.
                                           Layout{"whole_window_delayed", 0.0, 1.0, 210.0},
                                           Layout{"short_span", 0.9, 0.97, 37.0}),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                           return std::string(info.param.name);
                         });

// The brightest column of each group of lit columns on a row: where the clicks
// of input 1 stand.
bool White(IRgba p) { return p.r > 150 && p.g > 150 && p.b > 150; }
bool Red(IRgba p) { return p.r > 120 && p.g < 80 && p.b < 80; }

std::vector<int> LitColumns(Harness& h, int y, bool (*lit)(IRgba) = White) {
  std::vector<int> columns;
  int bestX = -1;
  int best = 0;
  for (int x = kView.left + 1; x <= kView.right; ++x) {
    const IRgba p = x < kView.right ? h.Pixel(x, y) : IRgba{};
    const int v = p.r + p.g + p.b;
    if (x < kView.right && lit(p)) {
      if (v > best) {
        best = v;
        bestX = x;
      }
    } else if (bestX >= 0) {
      columns.push_back(bestX);
      bestX = -1;
      best = 0;
    }
  }
  return columns;
}

// Clicks every 100 ms at 48 kHz, drawn while the display scrolls: after 1, 10 and
// 100 redraws each click stands where the time axis puts it, within the one
// column that the newest, not yet complete column may hold back.
TEST(TimeAxis, ClicksStayWhereTheAxisPutsThemWhileScrolling) {
  Harness h(48000.0);
  h.Set(kParamInput1 + 1, 0.0);
  auto clicks = [](int, long i) { return i % 4800 == 0 ? 0.9f : 0.0f; };
  h.Play(48000, clicks);
  h.Tick();
  const int row = static_cast<int>((kView.top + kView.bottom) * 0.5f - 0.5f * h.view->YScale());
  int frames = 0;
  for (int checkAt : {1, 10, 100}) {
    for (; frames < checkAt; ++frames) {
      h.Play(2000, clicks);  // one redraw's worth at 24 per second
      h.Tick();
    }
    const SampleRun run = ViewRun(48000.0, 0.0, h.view->XLow(), h.view->XHigh());
    const long windowStart = h.clock - 48000;
    std::vector<double> expected;  // x of each click inside the shown run
    for (long a = (windowStart + run.start + 4799) / 4800 * 4800;
         a < windowStart + run.start + run.count; a += 4800) {
      expected.push_back(kView.left + double(a - windowStart - run.start) * kWidth / run.count);
    }
    const std::vector<int> lit = LitColumns(h, row);
    ASSERT_EQ(lit.size(), expected.size()) << "after " << checkAt << " redraws";
    for (std::size_t k = 0; k < lit.size(); ++k) {
      EXPECT_NEAR(lit[k], expected[k], 1.5) << "click " << k << " after " << checkAt << " redraws";
    }
  }
}

// Inputs delayed by different amounts are drawn at the axis's scale: the same
// click, delayed 50 ms on input 2, stands 50 ms later, also when the delay reaches
// back past the window's start.
TEST(TimeAxis, DelayedInputsKeepTheAxisScale) {
  Harness h(48000.0);
  h.Set(kParamXZoomLow, 0.0);
  h.Set(kParamDelay1 + 1, std::sqrt(50.0 / 500.0));
  auto click = [](int, long i) { return i == 30000 ? 0.9f : 0.0f; };
  h.Play(48000, click);
  h.Tick();
  const int row = static_cast<int>((kView.top + kView.bottom) * 0.5f - 0.5f * h.view->YScale());
  const std::vector<int> input1 = LitColumns(h, row);
  const std::vector<int> input2 = LitColumns(h, row, Red);
  ASSERT_EQ(input1.size(), 1u);
  ASSERT_EQ(input2.size(), 1u);
  const double perSample = kWidth / 48000.0;
  EXPECT_NEAR(input1[0], kView.left + 30000 * perSample, 1.5);
  EXPECT_NEAR(input2[0], kView.left + (30000 + 2400) * perSample, 1.5);
}

// The deepest zoom marks every sample with a small cross; crosses at the edges of
// the display stay inside it, where every redraw paints them over.
TEST(TimeTrace, SampleMarkersStayInsideTheDisplay) {
  Harness h(48000.0);
  h.Set(kParamInput1 + 1, 0.0);
  h.Set(kParamYZoom, 1.0);  // everything loud runs into the top row
  h.Play(48000, [](int, long i) { return i % 2 ? 1.0f : 0.9f; });
  h.Set(kParamXZoomLow, 1.0);  // held 0.001 below "X zoom high": 48 samples
  h.Tick();
  auto trace = [](IRgba p) { return p.r > 200 && p.g > 200 && p.b > 200; };
  int inside = 0;
  for (int x = kView.left; x < kView.right; ++x) inside += trace(h.Pixel(x, kView.top + 1));
  EXPECT_GT(inside, 40);  // the trace is there, on the row below the frame
  for (int x = kView.left - 3; x < kView.right + 3; ++x) {
    EXPECT_FALSE(trace(h.Pixel(x, kView.top - 1))) << x;
    EXPECT_FALSE(trace(h.Pixel(x, kView.top - 2))) << x;
  }
  for (int y = kView.top - 3; y < kView.bottom + 3; ++y) {
    EXPECT_FALSE(trace(h.Pixel(kView.right + 1, y))) << y;
    EXPECT_FALSE(trace(h.Pixel(kView.left - 1, y))) << y;
  }
}

}  // namespace
