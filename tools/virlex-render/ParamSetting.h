// A parameter setting from the command line, resolved the way a host user picks a
// value: the parameter by index or by the name the plug-in reports, the value as a
// normalised number from 0 to 1, or as the text the plug-in displays for it
// ("freq", "16384", "on") or a number in the parameter's own unit ("250 ms",
// "-12dB"), found through the plug-in's display texts.
#pragma once

#include <string>

namespace vsthost {
class PluginInstance;
}

namespace render {

struct ParamSetting {
  std::string name;   // index or name
  std::string value;  // normalised number, display text, or number with its unit
};

// Splits "NAME=VALUE" (the last '=' separates, so names may not hold one).
bool ParseParamSetting(const std::string& text, ParamSetting& setting, std::string& error);

// Finds the parameter and the normalised value. The plug-in's value is probed
// through its display texts and restored afterwards.
bool ResolveParamSetting(vsthost::PluginInstance& plugin, const ParamSetting& setting, int& index,
                         float& normalized, std::string& error);

}  // namespace render
