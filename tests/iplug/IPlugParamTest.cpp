#include "iplug/IPlugParam.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Display(const IPlugParam& p) {
  char text[64];
  p.FormatForHost(text, sizeof(text));
  return text;
}

std::string DisplayOf(const IPlugParam& p, double x, bool normalized) {
  char text[64];
  p.FormatValue(x, normalized, text, sizeof(text));
  return text;
}

TEST(IPlugParam, DefineRaisesMaxToOneStepAboveMinAndDerivesPrecision) {
  IPlugParam p;
  p.DefineDouble("narrow", 0.0, 0.0, 0.05, 0.1);
  EXPECT_DOUBLE_EQ(p.Max(), 0.1);
  EXPECT_EQ(p.Type(), IPlugParam::kTypeDouble);

  IPlugParam steps[3];
  steps[0].DefineDouble("a", 0, 0, 1, 1.0);
  steps[1].DefineDouble("b", 0, 0, 1, 0.1);
  steps[2].DefineDouble("c", 0, 0, 1, 0.01);
  EXPECT_EQ(steps[0].Precision(), 0);
  EXPECT_EQ(steps[1].Precision(), 1);
  EXPECT_EQ(steps[2].Precision(), 2);

  IPlugParam irrational;
  irrational.DefineDouble("pi", 0, 0, 10, M_PI);
  EXPECT_EQ(irrational.Precision(), 6);
}

TEST(IPlugParam, BoolRoundsToNearestStepAndShowsOnOff) {
  IPlugParam p;
  p.DefineBool("enable", false);
  EXPECT_EQ(p.Type(), IPlugParam::kTypeBool);
  p.SetFromNormalized(0.49);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(Display(p), "off");
  p.SetFromNormalized(0.5);
  EXPECT_EQ(p.Value(), 1.0);
  EXPECT_EQ(Display(p), "on");
}

TEST(IPlugParam, EnumMapsHalfwayToMiddleChoice) {
  IPlugParam p;
  p.DefineEnum("choice", 0, 7);
  for (int i = 0; i < 7; ++i) p.AddValueText(i, std::string(1, char('a' + i)).c_str());
  EXPECT_EQ(p.Type(), IPlugParam::kTypeEnum);
  p.SetFromNormalized(0.5);
  EXPECT_EQ(p.Value(), 3.0);
  EXPECT_DOUBLE_EQ(p.Normalized(), 0.5);
  EXPECT_EQ(Display(p), "d");
}

TEST(IPlugParam, DoubleDisplayShowsZeroPlainAndKeepsDecimalsOtherwise) {
  IPlugParam p;
  p.DefineDouble("gain", 0.0, -30.0, 3.0, 0.1, "dB");
  EXPECT_EQ(Display(p), "0");
  EXPECT_EQ(DisplayOf(p, -12.5, false), "-12.5");
  EXPECT_EQ(DisplayOf(p, 0.25, false), "0.2");  // one decimal for step 0.1
  EXPECT_STREQ(p.Label(), "dB");

  IPlugParam whole;
  whole.DefineDouble("count", 0, 0, 100, 1.0);
  EXPECT_EQ(DisplayOf(whole, 42.9, false), "42");  // truncated, not rounded
  EXPECT_EQ(DisplayOf(whole, -42.9, false), "-42");
}

TEST(IPlugParam, DoubleNeverSnapsToStepFromHost) {
  IPlugParam p;
  p.DefineDouble("delay", 0.0, 0.0, 500.0, 0.1);
  p.SetFromNormalized(1.0 / 3.0);
  EXPECT_NEAR(p.Value(), 500.0 / 3.0, 1e-9);
}

TEST(IPlugParam, ValueTextCoversTheWholeIntegerInterval) {
  IPlugParam p;
  p.DefineDouble("x", 0.0, 0.0, 10.0, 0.1);
  p.AddValueText(2, "two");
  EXPECT_EQ(DisplayOf(p, 2.0, false), "two");
  EXPECT_EQ(DisplayOf(p, 2.99, false), "two");
  EXPECT_EQ(DisplayOf(p, 3.0, false), "3.0");
  EXPECT_EQ(DisplayOf(p, 1.99, false), "2.0");
}

TEST(IPlugParam, DuplicateTextsResolveToTheFirstEntry) {
  IPlugParam p;
  p.DefineEnum("e", 0, 3);
  p.AddValueText(1, "same");
  p.AddValueText(2, "same");
  p.AddValueText(1, "later");
  int k = -1;
  ASSERT_TRUE(p.ValueForText("same", &k));
  EXPECT_EQ(k, 1);
  EXPECT_STREQ(p.ValueTextFor(1), "same");
  EXPECT_FALSE(p.ValueForText("Same", &k));  // case-sensitive
  EXPECT_STREQ(p.ValueTextFor(7), "");
}

TEST(IPlugParam, CurveShapesTheMappingBothWaysAndZeroIsIgnored) {
  IPlugParam p;
  p.DefineDouble("shaped", 0.0, 0.0, 1.0, 0.01);
  p.SetCurve(2.0);
  p.SetCurve(0.0);
  EXPECT_EQ(p.Curve(), 2.0);
  p.SetFromNormalized(0.5);
  EXPECT_DOUBLE_EQ(p.Value(), 0.25);
  EXPECT_DOUBLE_EQ(p.ToNormalized(0.25), 0.5);
  EXPECT_EQ(DisplayOf(p, 0.5, true), "0.25");
}

TEST(IPlugParam, ToNormalizedClampsRealValues) {
  IPlugParam p;
  p.DefineDouble("gain", 0.0, -30.0, 3.0, 0.1);
  EXPECT_EQ(p.ToNormalized(-100.0), 0.0);
  EXPECT_EQ(p.ToNormalized(100.0), 1.0);
}

TEST(IPlugParam, HostValuesOutsideZeroToOneCannotLeaveTheRange) {
  IPlugParam p;
  p.DefineDouble("gain", 0.0, -30.0, 3.0, 0.1);
  p.SetFromNormalized(-0.5);
  EXPECT_EQ(p.Value(), -30.0);
  p.SetFromNormalized(7.0);
  EXPECT_EQ(p.Value(), 3.0);
  p.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(p.Value(), 3.0);  // NaN is ignored
  p.SetFromNormalized(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(p.Value(), -30.0);

  IPlugParam shaped;
  shaped.DefineDouble("s", 0.0, 0.0, 1.0, 0.01);
  shaped.SetCurve(0.5);  // a fractional power of a negative number would be NaN
  shaped.SetFromNormalized(-0.25);
  EXPECT_EQ(shaped.Value(), 0.0);
}

TEST(IPlugParam, LongTextsAreCutToTheirFields) {
  IPlugParam p;
  const std::string longName(80, 'n');
  p.DefineDouble(longName.c_str(), 0, 0, 1, 1, longName.c_str());
  p.AddValueText(0, longName.c_str());
  EXPECT_EQ(std::string(p.Name()), std::string(31, 'n'));
  EXPECT_EQ(std::string(p.Label()), std::string(31, 'n'));
  EXPECT_EQ(std::string(p.ValueTextFor(0)), std::string(31, 'n'));
}

TEST(IPlugParam, DisplayWritesAtMostTheCallersBuffer) {
  IPlugParam p;
  p.DefineDouble("huge", 0, -1e300, 1e300, 0.001);
  char text[8];
  p.FormatValue(1e300, false, text, sizeof(text));
  EXPECT_EQ(std::string(text).size(), 7u);
  p.FormatValue(1.0, false, nullptr, 0);  // no buffer: nothing happens
}

}  // namespace
