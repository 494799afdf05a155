// Parameter settings resolved against the real plug-in, as the tool resolves them.
#include <gtest/gtest.h>

#include "tools/virlex-render/ParamSetting.h"
#include "tools/virlex-render/RenderSession.h"

using render::ParamSetting;
using render::ResolveParamSetting;

namespace {

class ParamSettingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(session.Start(48000.0, 512, error)) << error;
    plugin = session.Plugin();
  }

  // The display text after applying the setting.
  std::string Apply(const std::string& name, const std::string& value) {
    int index = -1;
    float v = -1.0f;
    std::string error;
    EXPECT_TRUE(ResolveParamSetting(*plugin, {name, value}, index, v, error)) << error;
    if (index < 0) return "(unresolved)";
    plugin->SetParameter(index, v);
    return plugin->ParamDisplay(index);
  }

  std::string Fails(const std::string& name, const std::string& value) {
    int index = -1;
    float v = -1.0f;
    std::string error;
    EXPECT_FALSE(ResolveParamSetting(*plugin, {name, value}, index, v, error));
    return error;
  }

  render::RenderSession session;
  vsthost::PluginInstance* plugin = nullptr;
};

}  // namespace

TEST_F(ParamSettingTest, NamesIndicesAndNormalisedValues) {
  int index = -1;
  float v = -1.0f;
  std::string error;
  ASSERT_TRUE(ResolveParamSetting(*plugin, {"Y ZOOM", "0.25"}, index, v, error)) << error;
  EXPECT_EQ(index, plugin->FindParameter("Y zoom"));
  EXPECT_FLOAT_EQ(v, 0.25f);
  ASSERT_TRUE(ResolveParamSetting(*plugin, {"10", "1"}, index, v, error)) << error;
  EXPECT_EQ(plugin->ParamName(index), "fft size");
  EXPECT_FLOAT_EQ(v, 1.0f);
}

TEST_F(ParamSettingTest, DisplayTextsAndNumbersInTheParametersUnit) {
  EXPECT_EQ(Apply("domain", "freq"), "freq");
  EXPECT_EQ(Apply("domain", "PHASE"), "phase");
  EXPECT_EQ(Apply("fft size", "16384"), "16384");
  EXPECT_EQ(Apply("fft size", "256"), "256");
  EXPECT_EQ(Apply("delay 3", "250 ms").substr(0, 5), "250.0");
  EXPECT_EQ(Apply("delay 1", "500ms").substr(0, 5), "500.0");
  EXPECT_EQ(Apply("hold", "-10 dB").substr(0, 5), "-10.0");
  EXPECT_EQ(Apply("hold", "-30dB").substr(0, 5), "-30.0");
}

TEST_F(ParamSettingTest, ProbingLeavesTheValueAsItWas) {
  const int fft = plugin->FindParameter("fft size");
  const float before = plugin->GetParameter(fft);
  int index = -1;
  float v = 0.0f;
  std::string error;
  ASSERT_TRUE(ResolveParamSetting(*plugin, {"fft size", "16384"}, index, v, error));
  EXPECT_EQ(plugin->GetParameter(fft), before);
}

TEST_F(ParamSettingTest, UnknownNamesAndValuesAreRefused) {
  EXPECT_NE(Fails("loudness", "0.5").find("no parameter named 'loudness'"), std::string::npos);
  EXPECT_NE(Fails("16", "0.5").find("no parameter"), std::string::npos);  // past the last index
  EXPECT_NE(Fails("domain", "space").find("has no value 'space'"), std::string::npos);
  EXPECT_NE(Fails("fft size", "3000").find("has no value"), std::string::npos);
  EXPECT_NE(Fails("delay 1", "900 ms").find("has no value"), std::string::npos);  // beyond 500 ms
  EXPECT_NE(Fails("Y zoom", "-0.5").find("has no value"), std::string::npos);
}

TEST(ParamSettingParse, SplitsAtTheLastEqualsSign) {
  ParamSetting s;
  std::string error;
  ASSERT_TRUE(render::ParseParamSetting(" X zoom high = 0.75 ", s, error));
  EXPECT_EQ(s.name, "X zoom high");
  EXPECT_EQ(s.value, "0.75");
  EXPECT_FALSE(render::ParseParamSetting("=0.5", s, error));
  EXPECT_FALSE(render::ParseParamSetting("domain=", s, error));
}
