// The Turtle description of a plug-in's LV2 bundle, made from the plug-in itself
// (its channels, parameters, names and version), so that what hosts read about the
// ports cannot drift from what the adapter does with them.
#pragma once

#include <string>
#include <vector>

class IPlugBase;

struct Lv2BundleInfo {
  std::string uri;         // the plug-in's URI; hosts store it in their sessions
  std::string binary;      // the shared object's file name inside the bundle
  std::string pluginFile;  // the file name of the plug-in's own description
  bool withUi = false;     // describes the editor as an X11 UI of the same binary
};

// manifest.ttl: the plug-in (and its UI) with the binary and the description file.
std::string Lv2ManifestTurtle(const Lv2BundleInfo& info);
// The plug-in's description: identity, features, and every port with its range.
std::string Lv2PluginTurtle(const IPlugBase& plug, const Lv2BundleInfo& info);
// The control ports' symbols in parameter order: the name in lower case with every
// run of other characters made one '_' ("X zoom low" gives "x_zoom_low"), made unique
// by the parameter's index where two names would give the same symbol.
std::vector<std::string> Lv2ParamSymbols(const IPlugBase& plug);
