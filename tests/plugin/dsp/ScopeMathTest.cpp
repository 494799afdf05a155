#include "plugin/engine/ScopeMath.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string Note(double hz) {
  char text[32];
  FreqToNoteText(hz, text, sizeof text);
  return text;
}

}  // namespace

TEST(ScopeMathTest, NoteNamesWithOctaveAndCents) {
  EXPECT_EQ(Note(440.0), "A4 +0c");
  EXPECT_EQ(Note(261.63), "C4 +0c");
  EXPECT_EQ(Note(1000.0), "B5 +21c");
  EXPECT_EQ(Note(453.0), "A#4 -49c");
  EXPECT_EQ(Note(27.5), "A0 +0c");
  EXPECT_EQ(Note(4186.01), "C8 +0c");
  EXPECT_EQ(Note(415.3), "G#4 +0c");
  EXPECT_EQ(Note(0.0), "");
  EXPECT_EQ(Note(-5.0), "");
  EXPECT_EQ(Note(std::numeric_limits<double>::quiet_NaN()), "");
  EXPECT_EQ(Note(std::numeric_limits<double>::infinity()), "");
  EXPECT_FALSE(Note(1e-300).empty());
  EXPECT_FALSE(Note(1e300).empty());
  // A short buffer is filled and terminated, never overrun.
  char small[5] = {'x', 'x', 'x', 'x', 'y'};
  FreqToNoteText(453.0, small, 4);
  EXPECT_STREQ(small, "A#4");
  EXPECT_EQ(small[4], 'y');
  FreqToNoteText(440.0, nullptr, 10);
}

TEST(ScopeMathTest, DecibelsAndIntegerPowers) {
  EXPECT_NEAR(DbToAmp(-6.0), 0.501187, 1e-6);
  EXPECT_NEAR(DbToAmp(20.0), 10.0, 1e-9);
  EXPECT_DOUBLE_EQ(DbToAmp(0.0), 1.0);
  EXPECT_EQ(IntPow(2.0, 12), 4096.0);
  for (int v = 0; v <= 6; ++v) EXPECT_EQ(static_cast<int>(IntPow(2.0, v + 8)), 256 << v);
  EXPECT_EQ(IntPow(2.0, -3), 0.125);
  EXPECT_EQ(IntPow(-3.0, 3), -27.0);
  EXPECT_EQ(IntPow(7.5, 0), 1.0);
  EXPECT_EQ(IntPow(2.0, INT_MIN), 0.0);
  EXPECT_EQ(IntPow(1.0, INT_MIN), 1.0);
}

TEST(ScopeMathTest, LevelIsRmsAndIgnoresBrokenSamples) {
  std::vector<float> x(1000);
  for (int i = 0; i < 1000; ++i) x[i] = (i % 2) ? 0.5f : -0.5f;
  EXPECT_DOUBLE_EQ(MeasureLevel(x.data(), 1000), 0.5);
  std::vector<float> sine(4800);
  for (int i = 0; i < 4800; ++i) sine[i] = static_cast<float>(std::sin(2.0 * M_PI * i / 48.0));
  EXPECT_NEAR(MeasureLevel(sine.data(), 4800), std::sqrt(0.5), 1e-6);
  x[3] = std::numeric_limits<float>::quiet_NaN();
  x[5] = -std::numeric_limits<float>::infinity();
  EXPECT_NEAR(MeasureLevel(x.data(), 1000), 0.5 * std::sqrt(998.0 / 1000.0), 1e-12);
  x[7] = 3e38f;  // its square overflows a float
  EXPECT_TRUE(std::isfinite(MeasureLevel(x.data(), 1000)));
  EXPECT_EQ(MeasureLevel(x.data(), 0), 0.0);
  EXPECT_EQ(MeasureLevel(nullptr, 10), 0.0);
}
