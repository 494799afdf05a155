#include "iplug/HostKind.h"

#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "tests/iplug/TestInstance.h"

namespace {

std::string Text(std::int32_t packed) {
  char text[32];
  VersionText(packed, text, sizeof(text));
  return text;
}

TEST(HostKind, TableOrderDecides) {
  EXPECT_EQ(HostKindFromName("REAPER"), kHostReaper);
  EXPECT_EQ(HostKindFromName("Cubase VST"), kHostCubase);
  EXPECT_EQ(HostKindFromName("Nuendo and Cubase"), kHostCubase);
  EXPECT_EQ(HostKindFromName("Ableton Live"), kHostLive);
  EXPECT_EQ(HostKindFromName("Express Delivery"), kHostLive);  // substring match
  EXPECT_EQ(HostKindFromName("SAWStudio"), kHostSawStudio);
  EXPECT_EQ(HostKindFromName("Ardour"), kHostUnknown);
  EXPECT_EQ(HostKindFromName(""), kHostUnknown);
  EXPECT_EQ(HostKindFromName(nullptr), kHostUnknown);
  EXPECT_EQ(HostKindFromName(std::string(1000, 'x').append("reaper").c_str()), kHostUnknown);
}

TEST(HostKind, VersionsPackAndPrintInTheirShortestForm) {
  EXPECT_EQ(PackDecimalVersion(2400), 0x1800);
  EXPECT_EQ(Text(0x1800), "v0.24");
  EXPECT_EQ(PackDecimalVersion(50102), 0x50102);
  EXPECT_EQ(Text(0x50102), "v5.1.2");
  EXPECT_EQ(PackDecimalVersion(30000), 0x30000);
  EXPECT_EQ(Text(0x30000), "v3");
  EXPECT_EQ(PackDecimalVersion(-1), 0);
}

TEST(HostKind, HugeHostVersionsSaturateInsteadOfOverflowing) {
  EXPECT_EQ(PackDecimalVersion(327679999), 0x7FFF6363);  // the largest that fits exactly
  EXPECT_EQ(PackDecimalVersion(327680000), 0x7FFF0000);
  EXPECT_EQ(PackDecimalVersion(2147483647), 0x7FFF242F);  // minor 36 and patch 47 kept
  EXPECT_EQ(Text(PackDecimalVersion(2147483647)), "v32767.36.47");
}

TEST(HostKind, AHostAnsweringAHugeVersionIsStillIdentified) {
  TestInstance<> t;
  t.host.product = "Cubase";
  t.host.vendorVersion = std::numeric_limits<vst::intptr>::max();  // beyond int32: not wrapped
  EXPECT_EQ(t.Plug().HostKind(), kHostCubase);
  EXPECT_EQ(t.Plug().HostVersion(), PackDecimalVersion(2147483647));
}

TEST(HostKind, IdentifiesOnceThroughTheCallback) {
  TestInstance<> t;
  t.host.product = "REAPER";
  t.host.vendorVersion = 2400;
  EXPECT_EQ(t.Plug().HostKind(), kHostReaper);
  EXPECT_EQ(t.Plug().HostVersion(), 0x1800);
  const auto calls = t.host.calls.size();
  EXPECT_EQ(t.Plug().HostKind(), kHostReaper);
  EXPECT_EQ(t.host.calls.size(), calls);
}

TEST(HostKind, EmptyProductAsksNoVersion) {
  TestInstance<> t;
  EXPECT_EQ(t.Plug().HostKind(), kHostUnknown);
  EXPECT_EQ(t.host.Count(vst::audioMasterGetVendorVersion), 0);
  EXPECT_EQ(t.Plug().HostVersion(), 0);
}

TEST(HostKind, SomeHostsStartWithTwoInputsConnected) {
  TestInstance<> t;
  t.host.product = "Audition";
  t.host.vendorVersion = 30000;
  t.Call(vst::effOpen);
  EXPECT_TRUE(t.Plug().InputConnected(1));
  EXPECT_FALSE(t.Plug().InputConnected(2));
  EXPECT_FALSE(t.Plug().InputConnected(3));
  EXPECT_EQ(t.effect->numInputs, 4);

  TestInstance<> other;
  other.host.product = "Ardour";
  other.Call(vst::effOpen);
  EXPECT_TRUE(other.Plug().InputConnected(3));
}

}  // namespace
