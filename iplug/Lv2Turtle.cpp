#include "iplug/Lv2Turtle.h"

#include <charconv>
#include <cstdio>
#include <initializer_list>
#include <set>
#include <string_view>

#include "iplug/IPlugBase.h"
#include "iplug/IPlugLV2.h"
#include "iplug/Lv2PortLayout.h"

namespace {

constexpr const char* kPrefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

// Joins pieces of text. (GCC 12 warns falsely on some chains of string +.)
std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts) out.append(part);
  return out;
}

// The shortest text that reads back as the same double; always a valid Turtle number.
std::string Number(double x) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof(text), x);
  return std::string(text, result.ptr);
}

// A Turtle string literal.
std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"' || *c == '\\') out += '\\';
    if (*c == '\n') {
      out += "\\n";
      continue;
    }
    out += *c;
  }
  return out + "\"";
}

std::string Iri(const std::string& iri) { return Cat({"<", iri, ">"}); }

// The units hosts know by name; any other label becomes a unit of its own.
std::string UnitOf(const char* label) {
  static const struct {
    const char* label;
    const char* unit;
  } kKnown[] = {{"ms", "units:ms"}, {"s", "units:s"},     {"dB", "units:db"},
                {"Hz", "units:hz"}, {"kHz", "units:khz"}, {"%", "units:pc"}};
  if (label[0] == '\0') return "";
  for (const auto& known : kKnown) {
    if (std::string(known.label) == label) return known.unit;
  }
  const std::string quoted = Quoted(label);
  const std::string render = Quoted(Cat({"%f ", label}).c_str());
  return Cat({"[ a units:Unit ; rdfs:label ", quoted, " ; units:symbol ", quoted,
              " ; units:render ", render, " ]"});
}

std::string AudioSymbol(bool input, int channel) {
  return Cat({input ? "in_" : "out_", std::to_string(channel + 1)});
}

std::string AudioPort(int index, bool input, int channel) {
  char name[32];
  std::snprintf(name, sizeof(name), "%s %d", input ? "Input" : "Output", channel + 1);
  const std::string symbol = AudioSymbol(input, channel);
  std::string port = Cat({"[\n    a lv2:AudioPort , ", input ? "lv2:InputPort" : "lv2:OutputPort",
                          " ;\n    lv2:index ", std::to_string(index), " ;\n    lv2:symbol ",
                          Quoted(symbol.c_str()), " ;\n    lv2:name ", Quoted(name), " ;\n"});
  // A host may leave inputs unconnected; they read silence.
  if (input) port += "    lv2:portProperty lv2:connectionOptional ;\n";
  return port + "  ]";
}

// The parameter's value when the description is made is its default.
std::string ControlPort(int index, const IPlugParam& param, const std::string& symbol) {
  std::string port = "[\n    a lv2:ControlPort , lv2:InputPort ;\n";
  port += Cat({"    lv2:index ", std::to_string(index), " ;\n"});
  port += Cat({"    lv2:symbol ", Quoted(symbol.c_str()), " ;\n"});
  port += Cat({"    lv2:name ", Quoted(param.Name()), " ;\n"});
  port += Cat({"    lv2:default ", Number(param.Value()), " ;\n"});
  port += Cat({"    lv2:minimum ", Number(param.Min()), " ;\n"});
  port += Cat({"    lv2:maximum ", Number(param.Max()), " ;\n"});
  if (param.Type() == IPlugParam::kTypeBool) {
    port += "    lv2:portProperty lv2:toggled ;\n";
  } else if (param.Type() == IPlugParam::kTypeEnum) {
    port += "    lv2:portProperty lv2:integer , lv2:enumeration ;\n";
  }
  const std::string unit = UnitOf(param.Label());
  if (!unit.empty()) port += Cat({"    units:unit ", unit, " ;\n"});
  if (param.Type() != IPlugParam::kTypeBool) {
    for (int i = 0; i < param.ValueTextCount(); ++i) {
      const char* text = param.ValueTextAt(i);
      int value = 0;
      if (!param.ValueForText(text, &value)) continue;
      port += Cat({"    lv2:scalePoint [ rdfs:label ", Quoted(text), " ; rdf:value ", Number(value),
                   " ] ;\n"});
    }
  }
  return port + "  ]";
}

std::string UiUri(const Lv2BundleInfo& info) { return Cat({info.uri, IPlugLV2::kUiSuffix}); }

}  // namespace

std::vector<std::string> Lv2ParamSymbols(const IPlugBase& plug) {
  std::vector<std::string> symbols;
  std::set<std::string> taken;
  for (int i = 0; i < plug.MaxInputs(); ++i) taken.insert(AudioSymbol(true, i));
  for (int i = 0; i < plug.MaxOutputs(); ++i) taken.insert(AudioSymbol(false, i));
  for (int p = 0; p < plug.ParamCount(); ++p) {
    std::string symbol;
    for (const char* c = plug.Param(p)->Name(); *c != '\0'; ++c) {
      const char lower = (*c >= 'A' && *c <= 'Z') ? static_cast<char>(*c - 'A' + 'a') : *c;
      if ((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9')) {
        symbol += lower;
      } else if (!symbol.empty() && symbol.back() != '_') {
        symbol += '_';
      }
    }
    while (!symbol.empty() && symbol.back() == '_') symbol.pop_back();
    if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9')) {
      symbol = Cat({"p_", symbol});
    }
    if (taken.count(symbol) != 0) symbol = Cat({symbol, "_", std::to_string(p)});
    taken.insert(symbol);
    symbols.push_back(symbol);
  }
  return symbols;
}

std::string Lv2ManifestTurtle(const Lv2BundleInfo& info) {
  std::string ttl = kPrefixes;
  ttl += Cat({Iri(info.uri), "\n  a lv2:Plugin ;\n  lv2:binary ", Iri(info.binary),
              " ;\n  rdfs:seeAlso ", Iri(info.pluginFile), " .\n"});
  if (info.withUi) {
    ttl += Cat({"\n", Iri(UiUri(info)), "\n  a ui:X11UI ;\n  ui:binary ", Iri(info.binary),
                " ;\n  rdfs:seeAlso ", Iri(info.pluginFile), " .\n"});
  }
  return ttl;
}

std::string Lv2PluginTurtle(const IPlugBase& plug, const Lv2BundleInfo& info) {
  Lv2PortLayout layout;
  layout.inputs = plug.MaxInputs();
  layout.outputs = plug.MaxOutputs();
  layout.params = plug.ParamCount();
  const std::int32_t version = plug.EffectVersion(false);

  std::string ttl = kPrefixes;
  ttl += Cat({Iri(info.uri), "\n  a lv2:Plugin , lv2:AnalyserPlugin ;\n"});
  ttl += Cat({"  doap:name ", Quoted(plug.EffectName()), " ;\n"});
  ttl += Cat({"  doap:maintainer [ foaf:name ", Quoted(plug.VendorName()), " ] ;\n"});
  ttl += Cat({"  lv2:minorVersion ", std::to_string((version >> 8) & 0xff), " ;\n"});
  ttl += Cat({"  lv2:microVersion ", std::to_string(version & 0xff), " ;\n"});
  ttl += "  lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options ;\n";
  ttl += "  opts:supportedOption bufsz:maxBlockLength ;\n";
  ttl += "  lv2:extensionData state:interface ;\n";
  if (info.withUi) ttl += Cat({"  ui:ui ", Iri(UiUri(info)), " ;\n"});
  ttl += "  lv2:port ";
  std::vector<std::string> ports;
  for (int i = 0; i < layout.inputs; ++i)
    ports.push_back(AudioPort(layout.AudioInPort(i), true, i));
  for (int i = 0; i < layout.outputs; ++i) {
    ports.push_back(AudioPort(layout.AudioOutPort(i), false, i));
  }
  const std::vector<std::string> symbols = Lv2ParamSymbols(plug);
  for (int p = 0; p < layout.params; ++p) {
    const IPlugParam& param = *plug.Param(p);
    ports.push_back(ControlPort(layout.ParamPort(p), param, symbols[static_cast<std::size_t>(p)]));
  }
  for (std::size_t i = 0; i < ports.size(); ++i) ttl += Cat({i == 0 ? "" : " , ", ports[i]});
  ttl += " .\n";

  if (info.withUi) {
    ttl += Cat({"\n", Iri(UiUri(info)), "\n  a ui:X11UI ;\n"});
    // The editor draws the running plug-in's samples, so it lives in the plug-in's
    // process and needs the instance itself.
    ttl +=
        "  lv2:requiredFeature ui:idleInterface , ui:parent ,\n"
        "    <http://lv2plug.in/ns/ext/instance-access> ;\n";
    ttl += "  lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize ;\n";
    ttl += "  lv2:extensionData ui:idleInterface .\n";
  }
  return ttl;
}
