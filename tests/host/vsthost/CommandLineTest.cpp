// vsthost's argument parsing: both option spellings, parameter keys, and the
// malformed input that must be refused with a message.
#include <gtest/gtest.h>

#include <initializer_list>

#include "tools/vsthost/CommandLine.h"

namespace vsthost {
namespace {

bool Parse(std::initializer_list<const char*> args, Options& options, std::string& error) {
  std::vector<const char*> argv = {"vsthost"};
  argv.insert(argv.end(), args.begin(), args.end());
  return ParseCommandLine(int(argv.size()), argv.data(), options, error);
}

TEST(CommandLine, ProcessWithEveryOptionInBothSpellings) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"--block",
                     "64",
                     "--rate=44100",
                     "process",
                     "p.so",
                     "in.wav",
                     "-o",
                     "out.wav",
                     "--mode=double",
                     "--format",
                     "pcm24",
                     "--product=REAPER",
                     "--vendor-version",
                     "50102",
                     "--expect-passthrough",
                     "--trace-host",
                     "--channels=3",
                     "--frames",
                     "1000",
                     "--no-time-info"},
                    o, error))
      << error;
  EXPECT_EQ(o.command, "process");
  EXPECT_EQ(o.plugin, "p.so");
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_EQ(o.output, "out.wav");
  EXPECT_EQ(o.blockSize, 64);
  EXPECT_EQ(o.sampleRate, 44100.0);
  EXPECT_EQ(o.mode, ProcessMode::Double);
  EXPECT_EQ(o.format, SampleFormat::Pcm24);
  EXPECT_EQ(o.product, "REAPER");
  EXPECT_EQ(o.vendorVersion, 50102);
  EXPECT_TRUE(o.expectPassthrough);
  EXPECT_TRUE(o.traceHost);
  EXPECT_FALSE(o.timeInfo);
  EXPECT_EQ(o.channels, 3);
  EXPECT_EQ(o.frames, 1000);
}

TEST(CommandLine, InfoDefaultsAndChunkOptions) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"info", "x.so", "--chunk", "bank", "--save-chunk", "a.bin",
                     "--load-chunk=b.bin", "--product="},
                    o, error))
      << error;
  EXPECT_EQ(o.command, "info");
  EXPECT_TRUE(o.bankChunk);
  EXPECT_EQ(o.saveChunk, "a.bin");
  EXPECT_EQ(o.loadChunk, "b.bin");
  EXPECT_EQ(o.product, "");  // an empty product string is a legitimate host answer
  EXPECT_EQ(o.blockSize, 512);
  EXPECT_EQ(o.mode, ProcessMode::Replacing);
}

TEST(CommandLine, ParamKeysAreIndicesWhenAllDigitsElseNames) {
  ParamSetting s;
  std::string error;
  ASSERT_TRUE(ParseParamSetting("12=0.25", s, error));
  EXPECT_EQ(s.index, 12);
  EXPECT_EQ(s.value, 0.25);
  ASSERT_TRUE(ParseParamSetting("blend speed=1", s, error));
  EXPECT_EQ(s.index, -1);
  EXPECT_EQ(s.name, "blend speed");
  ASSERT_TRUE(ParseParamSetting("a=b=0", s, error));  // the last '=' splits
  EXPECT_EQ(s.name, "a=b");
  EXPECT_EQ(s.value, 0.0);
  ASSERT_TRUE(ParseParamSetting("1x=0.5", s, error));
  EXPECT_EQ(s.name, "1x");
}

TEST(CommandLine, RefusesBadParamSettings) {
  ParamSetting s;
  std::string error;
  for (const char* bad : {"gain", "=0.5", "gain=", "gain=1.01", "gain=-0.1", "gain=nan", "gain=inf",
                          "gain=0.5x", "99999999999=0.5"}) {
    error.clear();
    EXPECT_FALSE(ParseParamSetting(bad, s, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(CommandLine, RefusesMalformedCommandLines) {
  const std::vector<std::vector<const char*>> bad = {
      {},                                     // no command
      {"render", "p.so"},                     // unknown command
      {"info"},                               // no plug-in
      {"info", "p.so", "extra"},              // info takes no input file
      {"process", "p.so", "in.wav", "more"},  // too many
      {"info", "p.so", "--block"},            // missing value
      {"info", "p.so", "--block", "0"},       // out of range
      {"info", "p.so", "--block", "70000"},
      {"info", "p.so", "--block", "12abc"},
      {"info", "p.so", "--rate", "0"},
      {"info", "p.so", "--channels", "65"},
      {"info", "p.so", "--mode", "fast"},
      {"info", "p.so", "--format", "pcm8"},
      {"info", "p.so", "--chunk", "all"},
      {"info", "p.so", "--vendor-version", "-1"},
      {"info", "p.so", "--trace-host=1"},  // flags take no value
      {"info", "p.so", "--bogus", "1"},
      {"info", "p.so", "--param", "x=2"},
  };
  for (const auto& args : bad) {
    std::vector<const char*> argv = {"vsthost"};
    argv.insert(argv.end(), args.begin(), args.end());
    Options o;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(int(argv.size()), argv.data(), o, error))
        << (args.empty() ? "(none)" : args.back());
    EXPECT_FALSE(error.empty());
  }
}

TEST(CommandLine, PassthroughMapIsOneBasedOnTheCommandLine) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"process", "p.so", "--passthrough-map", "1,2,4,11"}, o, error)) << error;
  EXPECT_EQ(o.passthroughMap, (std::vector<int>{0, 1, 3, 10}));
  EXPECT_TRUE(o.expectPassthrough);
  for (const char* bad : {"", "0,1", "1,,2", "1,", "a", "1;2"}) {
    Options p;
    EXPECT_FALSE(Parse({"process", "p.so", "--passthrough-map", bad}, p, error)) << bad;
  }
}

TEST(CommandLine, DoubleDashLetsPathsStartWithADash) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"--trace-host", "--", "info", "-odd.so"}, o, error)) << error;
  EXPECT_EQ(o.plugin, "-odd.so");
  EXPECT_TRUE(o.traceHost);
}

TEST(CommandLine, HelpNeedsNothingElse) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"--help"}, o, error));
  EXPECT_EQ(o.command, "help");
  EXPECT_NE(UsageText().find("--expect-passthrough"), std::string::npos);
}

}  // namespace
}  // namespace vsthost
