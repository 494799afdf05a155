#include <gtest/gtest.h>

#include "tools/virlex-render/RenderOptions.h"

using render::MouseKind;
using render::ParseRenderOptions;
using render::RenderOptions;

namespace {

RenderOptions Parse(const std::vector<std::string>& args) {
  RenderOptions o;
  std::string error;
  EXPECT_TRUE(ParseRenderOptions(args, o, error)) << error;
  return o;
}

std::string ErrorOf(const std::vector<std::string>& args) {
  RenderOptions o;
  std::string error;
  EXPECT_FALSE(ParseRenderOptions(args, o, error));
  return error;
}

}  // namespace

TEST(RenderOptions, OnePictureAndSequence) {
  const RenderOptions one = Parse({"in.flac", "--at", "1.5", "-o", "a.png", "--rate", "8000"});
  EXPECT_EQ(one.input, "in.flac");
  EXPECT_DOUBLE_EQ(one.at, 1.5);
  EXPECT_EQ(one.outFile, "a.png");
  EXPECT_DOUBLE_EQ(one.sampleRate, 8000.0);

  const RenderOptions seq = Parse({"--from", "1", "--to", "3", "--every", "2", "--out-dir", "d"});
  EXPECT_TRUE(seq.input.empty());
  EXPECT_DOUBLE_EQ(seq.from, 1.0);
  EXPECT_DOUBLE_EQ(seq.to, 3.0);
  EXPECT_EQ(seq.every, 2);
  EXPECT_EQ(seq.outDir, "d");

  // -o alone takes a moment by which the window is full and spectra have settled.
  EXPECT_DOUBLE_EQ(Parse({"-o", "a.png"}).at, 2.0);
}

TEST(RenderOptions, DomainAndParamsKeepTheirOrder) {
  const RenderOptions o = Parse({"--param", "fft size=16384", "--domain", "freq", "--param",
                                 "X zoom low = 0.25", "-o", "a.png"});
  ASSERT_EQ(o.params.size(), 3u);
  EXPECT_EQ(o.params[0].name, "fft size");
  EXPECT_EQ(o.params[0].value, "16384");
  EXPECT_EQ(o.params[1].name, "domain");
  EXPECT_EQ(o.params[1].value, "freq");
  EXPECT_EQ(o.params[2].name, "X zoom low");
  EXPECT_EQ(o.params[2].value, "0.25");
}

TEST(RenderOptions, MouseActions) {
  const RenderOptions o =
      Parse({"--click", "0.5:300,200", "--drag", "1:100,150:140,120", "--wheel",
             "1.25:350,200:-3+fine", "--right-click", "2:460,452", "-o", "a.png"});
  ASSERT_EQ(o.actions.size(), 4u);
  EXPECT_EQ(o.actions[0].kind, MouseKind::kClick);
  EXPECT_DOUBLE_EQ(o.actions[0].time, 0.5);
  EXPECT_EQ(o.actions[0].x1, 300);
  EXPECT_EQ(o.actions[0].y1, 200);
  EXPECT_EQ(o.actions[1].kind, MouseKind::kDrag);
  EXPECT_EQ(o.actions[1].x2, 140);
  EXPECT_EQ(o.actions[1].y2, 120);
  EXPECT_EQ(o.actions[2].kind, MouseKind::kWheel);
  EXPECT_EQ(o.actions[2].notches, -3);
  EXPECT_TRUE(o.actions[2].fine);
  EXPECT_FALSE(o.actions[0].fine);
  EXPECT_EQ(o.actions[3].kind, MouseKind::kRightClick);
}

TEST(RenderOptions, RejectsMalformedAndContradictoryLines) {
  EXPECT_NE(ErrorOf({}).find("nothing to render"), std::string::npos);
  EXPECT_NE(ErrorOf({"--at", "1"}).find("-o"), std::string::npos);
  EXPECT_NE(ErrorOf({"--at", "1", "-o", "a.png", "--to", "2", "--out-dir", "d"}).find("not both"),
            std::string::npos);
  EXPECT_NE(ErrorOf({"--to", "2"}).find("--out-dir"), std::string::npos);
  EXPECT_NE(ErrorOf({"--from", "3", "--to", "2", "--out-dir", "d"}).find("after"),
            std::string::npos);
  EXPECT_NE(ErrorOf({"--at", "-1", "-o", "a.png"}).find("--at"), std::string::npos);
  EXPECT_NE(ErrorOf({"--at", "nan", "-o", "a.png"}).find("--at"), std::string::npos);
  EXPECT_NE(ErrorOf({"--rate", "0", "-o", "a.png"}).find("--rate"), std::string::npos);
  EXPECT_NE(ErrorOf({"--block", "0", "-o", "a.png"}).find("--block"), std::string::npos);
  EXPECT_NE(ErrorOf({"--block", "2.5", "-o", "a.png"}).find("--block"), std::string::npos);
  EXPECT_NE(ErrorOf({"--every", "0", "--to", "1", "--out-dir", "d"}).find("--every"),
            std::string::npos);
  EXPECT_NE(ErrorOf({"--domain", "space", "-o", "a.png"}).find("time, freq or phase"),
            std::string::npos);
  EXPECT_NE(ErrorOf({"--param", "novalue", "-o", "a.png"}).find("NAME=VALUE"), std::string::npos);
  EXPECT_NE(ErrorOf({"--click", "1:300", "-o", "a.png"}).find("T:X,Y"), std::string::npos);
  EXPECT_NE(ErrorOf({"--drag", "1:1,2", "-o", "a.png"}).find("T:X1,Y1:X2,Y2"), std::string::npos);
  EXPECT_NE(ErrorOf({"--wheel", "1:1,2:x", "-o", "a.png"}).find("NOTCHES"), std::string::npos);
  EXPECT_NE(ErrorOf({"--click", "-1:1,2", "-o", "a.png"}).find("--click"), std::string::npos);
  EXPECT_NE(ErrorOf({"a.wav", "b.wav", "-o", "a.png"}).find("more than one"), std::string::npos);
  EXPECT_NE(ErrorOf({"--bogus", "1", "-o", "a.png"}).find("unknown option"), std::string::npos);
  EXPECT_NE(ErrorOf({"-o"}).find("needs a value"), std::string::npos);
}
