#include "tools/virlex-render/ParamSetting.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "tools/vsthost/PluginInstance.h"

namespace render {

namespace {

std::string Trim(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The whole text as a number; false when anything else follows.
bool WholeNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(out);
}

// A number at the start of the text, whatever unit follows.
bool LeadingNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(out);
}

std::string DisplayAt(vsthost::PluginInstance& plugin, int index, float v) {
  plugin.SetParameter(index, v);
  return Lower(Trim(plugin.ParamDisplay(index)));
}

// Exact display text, probed across the range in thousandths: enough for every
// enumeration and switch (their texts cover whole stretches of the range).
bool FindByText(vsthost::PluginInstance& plugin, int index, const std::string& wanted, float& out) {
  constexpr int kProbes = 1000;
  for (int i = 0; i <= kProbes; ++i) {
    const float v = static_cast<float>(i) / kProbes;
    if (DisplayAt(plugin, index, v) == wanted) {
      out = v;
      return true;
    }
  }
  return false;
}

// First normalised value whose displayed number is at least (or, with past, more
// than) wanted; the display rises or falls steadily with the normalised value for
// every continuous parameter.
double Edge(vsthost::PluginInstance& plugin, int index, double wanted, bool rising, bool past) {
  double a = 0.0, b = 1.0;
  for (int i = 0; i < 40; ++i) {
    const double mid = 0.5 * (a + b);
    double shown = 0.0;
    LeadingNumber(DisplayAt(plugin, index, static_cast<float>(mid)), shown);
    const bool before = past ? (rising ? shown <= wanted : shown >= wanted)
                             : (rising ? shown < wanted : shown > wanted);
    if (before)
      a = mid;
    else
      b = mid;
  }
  return b;
}

// A number in the parameter's unit: the middle of the stretch that displays it
// (displays round, so a whole stretch of values shows the same number).
bool FindByNumber(vsthost::PluginInstance& plugin, int index, double wanted, float& out) {
  double atLow = 0.0, atHigh = 0.0;
  if (!LeadingNumber(DisplayAt(plugin, index, 0.0f), atLow) ||
      !LeadingNumber(DisplayAt(plugin, index, 1.0f), atHigh))
    return false;
  const bool rising = atHigh >= atLow;
  if (wanted < std::min(atLow, atHigh) - 1e-9 || wanted > std::max(atLow, atHigh) + 1e-9)
    return false;
  const double first = Edge(plugin, index, wanted, rising, false);
  const double last = Edge(plugin, index, wanted, rising, true);
  out = static_cast<float>(last > first ? 0.5 * (first + last) : first);
  // Steps between values (an enumeration's) may skip the number: then it has none.
  const std::string shown = DisplayAt(plugin, index, out);
  double value = 0.0;
  LeadingNumber(shown, value);
  const std::size_t dot = shown.find('.');
  int decimals = 0;
  while (dot != std::string::npos && dot + 1 + decimals < shown.size() &&
         std::isdigit(static_cast<unsigned char>(shown[dot + 1 + decimals])))
    ++decimals;
  return std::fabs(value - wanted) <= 0.5 * std::pow(10.0, -decimals) + 1e-9;
}

int FindIndex(vsthost::PluginInstance& plugin, const std::string& name) {
  double number = 0.0;
  if (WholeNumber(name, number) && number == std::floor(number) && number >= 0 &&
      number < plugin.NumParams())
    return static_cast<int>(number);
  return plugin.FindParameter(name);
}

}  // namespace

bool ParseParamSetting(const std::string& text, ParamSetting& setting, std::string& error) {
  const std::size_t eq = text.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size()) {
    error =
        "--param '" + text + "': expected NAME=VALUE (name or index; value 0..1 or as displayed)";
    return false;
  }
  setting.name = Trim(text.substr(0, eq));
  setting.value = Trim(text.substr(eq + 1));
  return true;
}

bool ResolveParamSetting(vsthost::PluginInstance& plugin, const ParamSetting& setting, int& index,
                         float& normalized, std::string& error) {
  index = FindIndex(plugin, setting.name);
  if (index < 0) {
    error = "no parameter named '" + setting.name + "'";
    return false;
  }
  double number = 0.0;
  if (WholeNumber(setting.value, number) && number >= 0.0 && number <= 1.0) {
    normalized = static_cast<float>(number);
    return true;
  }
  const float before = plugin.GetParameter(index);
  const std::string wanted = Lower(setting.value);
  bool found = FindByText(plugin, index, wanted, normalized);
  if (!found && LeadingNumber(wanted, number))
    found = FindByNumber(plugin, index, number, normalized);
  plugin.SetParameter(index, before);
  if (!found) {
    error = "parameter '" + plugin.ParamName(index) + "' has no value '" + setting.value +
            "' (give 0..1, or a text it displays)";
    return false;
  }
  return true;
}

}  // namespace render
