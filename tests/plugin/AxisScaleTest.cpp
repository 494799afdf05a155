#include "plugin/display/AxisScale.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string Db(double db, bool unit) {
  char text[32];
  FormatDb(db, unit, text, sizeof(text));
  return text;
}

TEST(AxisScale, FormatDbSignsAndSilence) {
  EXPECT_EQ(Db(0.0, true), "+0.0 dB");
  EXPECT_EQ(Db(1.25, false), "+1.2");
  EXPECT_EQ(Db(-3.0, false), "-3.0");
  EXPECT_EQ(Db(-200.0, false), "-oo");
  EXPECT_EQ(Db(-std::numeric_limits<double>::infinity(), true), "-oo dB");
  EXPECT_EQ(Db(std::numeric_limits<double>::quiet_NaN(), false), "-oo");
}

TEST(AxisScale, WholeWindowHasLinesEveryHundredMilliseconds) {
  AxisScale axis;
  const double c = 48000.0 / 44100.0;
  axis.ConfigureTimeAxis(0.0, c, c);
  EXPECT_STREQ(axis.startText, "-1088");
  EXPECT_STREQ(axis.endText, "0 ms");
  ASSERT_GE(axis.marks.size(), 9u);
  // The first line is 100 ms before the newest sample, near the right end.
  EXPECT_NEAR(axis.marks[0].position, (c - 0.1) / c, 1e-6);
  EXPECT_STREQ(axis.marks[0].label, "");  // at 0.91 it is too close to the end to label
  EXPECT_STREQ(axis.marks[1].label, "-200");
  for (std::size_t i = 1; i < axis.marks.size(); ++i) {
    EXPECT_NEAR(axis.marks[i - 1].position - axis.marks[i].position, 0.1 / c, 1e-6);
  }
}

TEST(AxisScale, HalfWindowLabelsAllButTheLineNearTheLeftEnd) {
  AxisScale axis;
  const double c = 48000.0 / 44100.0;
  axis.ConfigureTimeAxis(0.5 * c, c, c);
  ASSERT_EQ(axis.marks.size(), 5u);
  EXPECT_STREQ(axis.marks[0].label, "-100");
  EXPECT_STREQ(axis.marks[3].label, "-400");
  EXPECT_STREQ(axis.marks[4].label, "");
  EXPECT_GT(axis.marks[4].position, 0.06f);
}

TEST(AxisScale, DeepZoomLabelsCarryTheDecimalsThatTellLinesApart) {
  AxisScale axis;
  const double c = 48000.0 / 44100.0;
  const double span = 48.0 / 44100.0;  // the narrowest window: 48 samples
  axis.ConfigureTimeAxis(c - span, c, c);
  ASSERT_GE(axis.marks.size(), 3u);
  std::vector<std::string> labels;
  for (const GridMark& mark : axis.marks) {
    if (mark.label[0] != '\0') labels.push_back(mark.label);
  }
  ASSERT_GE(labels.size(), 2u);
  for (std::size_t i = 1; i < labels.size(); ++i) EXPECT_NE(labels[i], labels[i - 1]);
  EXPECT_STREQ(axis.endText, "0.0 ms");
}

TEST(AxisScale, DegenerateTimeSpansGiveNoLines) {
  AxisScale axis;
  axis.ConfigureTimeAxis(0.5, 0.5, 1.0);
  EXPECT_TRUE(axis.marks.empty());
  axis.ConfigureTimeAxis(0.0, std::numeric_limits<double>::quiet_NaN(), 1.0);
  EXPECT_TRUE(axis.marks.empty());
  axis.ConfigureTimeAxis(0.0, 1e-12, 1.0);  // tiny but valid: bounded number of lines
  EXPECT_LE(axis.marks.size(), static_cast<std::size_t>(AxisScale::kMaxMarks));
}

TEST(AxisScale, AmplitudeMarksEveryThreeDbUntilTheyCrowd) {
  AxisScale axis;
  axis.margin = 0.1;
  axis.ConfigureAmplitudeAxis((1.0 - 0.5) * 1.999 + 0.001);
  EXPECT_EQ(axis.kind, kAxisAmplitude);
  EXPECT_STREQ(axis.startText, "-oo");
  EXPECT_STREQ(axis.endText, "+0.0");
  ASSERT_EQ(axis.marks.size(), 4u);
  const char* labels[] = {"-3.0", "-6.0", "-9.0", "-12.0"};
  const double positions[] = {0.708, 0.501, 0.355, 0.251};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(axis.marks[i].label, labels[i]);
    EXPECT_NEAR(axis.marks[i].position, positions[i], 0.001);
  }
}

TEST(AxisScale, LevelScaleSurvivesAZeroTop) {
  AxisScale axis;
  axis.ConfigureLevelAxis(0.0);
  EXPECT_TRUE(axis.marks.empty());
  EXPECT_STREQ(axis.endText, "-oo");
}

TEST(AxisScale, FrequencyLabelsKeepClearOfTheEndsAndOfEachOther) {
  AxisScale axis;
  axis.ConfigureFrequencyAxis(UpdateFreqRange(0.0, 1.0, 4096, 44100.0));
  EXPECT_STREQ(axis.startText, "22");  // bin 2, the spectrum's left edge
  EXPECT_STREQ(axis.endText, "21996");
  ASSERT_FALSE(axis.marks.empty());
  bool has1000 = false;
  for (std::size_t i = 0; i < axis.marks.size(); ++i) {
    EXPECT_GT(axis.marks[i].position, 0.06f);
    EXPECT_LT(axis.marks[i].position, 0.92f);
    has1000 = has1000 || std::string(axis.marks[i].label) == "1000";
  }
  EXPECT_TRUE(has1000);
  // Minor lines (after the main ones) never come within 0.06 of an earlier line.
  int mains = 0;
  for (const GridMark& mark : axis.marks) {
    const int f = std::stoi(mark.label);
    if (f == 100 || f == 500 || f == 1000 || f == 5000 || f == 7500 || f == 10000 || f == 15000 ||
        f == 20000) {
      ++mains;
    }
  }
  for (std::size_t i = static_cast<std::size_t>(mains); i < axis.marks.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      EXPECT_GT(std::fabs(axis.marks[i].position - axis.marks[j].position), 0.06f);
    }
  }
}

TEST(AxisScale, FrequencyAxisWithNothingVisibleIsEmpty) {
  AxisScale axis;
  axis.ConfigureFrequencyAxis(UpdateFreqRange(0.2, 0.2005, 4096, 44100.0));
  EXPECT_TRUE(axis.marks.empty());
  axis.ConfigureFrequencyAxis(UpdateFreqRange(0.0, 1.0, 3000, 44100.0));  // no such fft
  EXPECT_TRUE(axis.marks.empty());
  EXPECT_STREQ(axis.endText, "");
}

}  // namespace
