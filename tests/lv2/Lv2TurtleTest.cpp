// The bundle's Turtle as the generator writes it from a plug-in.
#include <gtest/gtest.h>

#include "iplug/Lv2Turtle.h"
#include "plugin/ScopePlugin.h"
#include "tests/support/TestPlug.h"

namespace {

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

// The part of the description that belongs to the port with this symbol.
std::string PortText(const std::string& ttl, const std::string& symbol) {
  const std::size_t at = ttl.find("lv2:symbol \"" + symbol + "\"");
  if (at == std::string::npos) return "";
  const std::size_t start = ttl.rfind('[', at);
  const std::size_t end = ttl.find("\n  ]", at);
  return ttl.substr(start, end - start);
}

Lv2BundleInfo Info(bool withUi) {
  Lv2BundleInfo info;
  info.uri = "urn:test:plug";
  info.binary = "Test.so";
  info.pluginFile = "Test.ttl";
  info.withUi = withUi;
  return info;
}

// A plug-in whose names make awkward symbols.
class AwkwardPlug : public IPlugVST {
 public:
  AwkwardPlug()
      : IPlugVST(nullptr, 6, "2-2", 0, "Say \"hi\"", "", "A\\B", 0x20304, 1, 2, 0, false, false,
                 false) {
    Param(0)->DefineDouble("X zoom  low!", 0.5, 0.0, 1.0, 0.01);
    Param(1)->DefineDouble("2nd", 0.0, 0.0, 1.0, 0.01);
    Param(2)->DefineDouble("?!", 0.0, 0.0, 1.0, 0.01);
    Param(3)->DefineDouble("in 1", 0.0, 0.0, 1.0, 0.01);
    Param(4)->DefineDouble("speed", 33.0, 0.0, 78.0, 1.0, "rpm");
    Param(5)->DefineDouble("Speed", 1e-5, 0.0, 1.0, 1e-6, "%");
  }
};

TEST(Lv2Turtle, ControlPortsCarryRangeDefaultKindAndUnit) {
  TestPlug plug(nullptr);
  const std::string ttl = Lv2PluginTurtle(plug, Info(false));
  const std::string gain = PortText(ttl, "gain");
  EXPECT_TRUE(Has(gain, "lv2:index 8 ;"));
  EXPECT_TRUE(Has(gain, "lv2:name \"gain\" ;"));
  EXPECT_TRUE(Has(gain, "lv2:default 0 ;"));
  EXPECT_TRUE(Has(gain, "lv2:minimum -30 ;"));
  EXPECT_TRUE(Has(gain, "lv2:maximum 3 ;"));
  EXPECT_TRUE(Has(gain, "units:unit units:db ;"));
  EXPECT_FALSE(Has(gain, "lv2:portProperty"));

  const std::string choice = PortText(ttl, "choice");
  EXPECT_TRUE(Has(choice, "lv2:portProperty lv2:integer , lv2:enumeration ;"));
  EXPECT_TRUE(Has(choice, "lv2:maximum 6 ;"));
  EXPECT_TRUE(Has(choice, "lv2:scalePoint [ rdfs:label \"a\" ; rdf:value 0 ] ;"));
  EXPECT_TRUE(Has(choice, "lv2:scalePoint [ rdfs:label \"g\" ; rdf:value 6 ] ;"));

  const std::string toggle = PortText(ttl, "switch");
  EXPECT_TRUE(Has(toggle, "lv2:portProperty lv2:toggled ;"));
  EXPECT_FALSE(Has(toggle, "scalePoint"));

  EXPECT_TRUE(Has(PortText(ttl, "in_4"), "lv2:portProperty lv2:connectionOptional"));
  EXPECT_TRUE(Has(PortText(ttl, "out_2"), "lv2:index 5 ;"));
  EXPECT_FALSE(Has(PortText(ttl, "out_2"), "connectionOptional"));
}

TEST(Lv2Turtle, DescribesIdentityVersionAndFeatures) {
  TestPlug plug(nullptr);
  const std::string ttl = Lv2PluginTurtle(plug, Info(false));
  EXPECT_TRUE(Has(ttl, "<urn:test:plug>\n  a lv2:Plugin , lv2:AnalyserPlugin ;"));
  EXPECT_TRUE(Has(ttl, "doap:name \"TestPlug\" ;"));
  EXPECT_TRUE(Has(ttl, "foaf:name \"Tester\""));
  // Version 0x10203: minor 2, micro 3.
  EXPECT_TRUE(Has(ttl, "lv2:minorVersion 2 ;"));
  EXPECT_TRUE(Has(ttl, "lv2:microVersion 3 ;"));
  EXPECT_TRUE(Has(ttl, "lv2:hardRTCapable"));
  EXPECT_TRUE(Has(ttl, "lv2:extensionData state:interface ;"));
  EXPECT_FALSE(Has(ttl, "ui:ui"));
  EXPECT_FALSE(Has(ttl, "X11UI"));
}

TEST(Lv2Turtle, TheUiIsDescribedOnlyWhenAsked) {
  TestPlug plug(nullptr);
  const std::string manifest = Lv2ManifestTurtle(Info(true));
  EXPECT_TRUE(Has(manifest, "<urn:test:plug>\n  a lv2:Plugin ;\n  lv2:binary <Test.so> ;"));
  EXPECT_TRUE(Has(manifest, "<urn:test:plug#ui>\n  a ui:X11UI ;\n  ui:binary <Test.so> ;"));
  EXPECT_FALSE(Has(Lv2ManifestTurtle(Info(false)), "X11UI"));
  const std::string ttl = Lv2PluginTurtle(plug, Info(true));
  EXPECT_TRUE(Has(ttl, "ui:ui <urn:test:plug#ui> ;"));
  EXPECT_TRUE(Has(ttl, "<http://lv2plug.in/ns/ext/instance-access>"));
  EXPECT_TRUE(Has(ttl, "lv2:extensionData ui:idleInterface ."));
}

TEST(Lv2Turtle, SymbolsAreValidAndUniqueWhateverTheNames) {
  AwkwardPlug plug;
  const std::vector<std::string> symbols = Lv2ParamSymbols(plug);
  const std::vector<std::string> expected = {"x_zoom_low", "p_2nd", "p_",
                                             "in_1_3",     "speed", "speed_5"};
  EXPECT_EQ(symbols, expected);
}

TEST(Lv2Turtle, TextsAreEscapedAndUnknownUnitsGetAUnitOfTheirOwn) {
  AwkwardPlug plug;
  const std::string ttl = Lv2PluginTurtle(plug, Info(false));
  EXPECT_TRUE(Has(ttl, "doap:name \"Say \\\"hi\\\"\" ;"));
  EXPECT_TRUE(Has(ttl, "foaf:name \"A\\\\B\""));
  EXPECT_TRUE(Has(PortText(ttl, "speed"),
                  "units:unit [ a units:Unit ; rdfs:label \"rpm\" ; "
                  "units:symbol \"rpm\" ; units:render \"%f rpm\" ] ;"));
  EXPECT_TRUE(Has(PortText(ttl, "speed_5"), "units:unit units:pc ;"));
  EXPECT_TRUE(Has(PortText(ttl, "speed_5"), "lv2:default 1e-05 ;"));
}

// Hosts store port symbols in their sessions: Virlex's may never change.
TEST(Lv2Turtle, VirlexPortSymbolsAreStable) {
  ScopePlugin plug(nullptr);
  const std::vector<std::string> expected = {"domain",  "input_1",    "input_2",     "input_3",
                                             "input_4", "delay_1",    "delay_2",     "delay_3",
                                             "delay_4", "hold",       "fft_size",    "blend_speed",
                                             "opacity", "x_zoom_low", "x_zoom_high", "y_zoom"};
  EXPECT_EQ(Lv2ParamSymbols(plug), expected);
  const std::string ttl = Lv2PluginTurtle(plug, Info(false));
  const std::string hold = PortText(ttl, "hold");
  EXPECT_TRUE(Has(hold, "lv2:default 3 ;"));
  EXPECT_TRUE(Has(hold, "lv2:minimum -30 ;"));
  EXPECT_TRUE(
      Has(PortText(ttl, "fft_size"), "lv2:scalePoint [ rdfs:label \"16384\" ; rdf:value 6 ]"));
  EXPECT_TRUE(Has(PortText(ttl, "delay_4"), "units:unit units:ms ;"));
}

}  // namespace
