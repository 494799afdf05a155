// Everything a host can learn about a plug-in without processing audio, and its
// stable line-per-fact text form ("name: ...", "param 3: ...").
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/PluginInstance.h"

namespace vsthost {

struct ParamInfo {
  std::string name, label, display;
  float value = 0.0f;
};

struct CanDoAnswer {
  std::string query;
  vst::intptr answer = 0;
};

struct PluginInfo {
  std::string name, vendor, product;
  vst::int32 version = 0;
  vst::intptr vendorVersion = 0;
  vst::int32 uniqueId = 0;
  vst::int32 flags = 0;
  vst::intptr vstVersion = 0;
  vst::intptr category = 0;
  vst::int32 initialDelay = 0;
  std::vector<PinInfo> inputs, outputs;
  std::vector<ParamInfo> params;
  std::vector<std::string> programs;
  vst::int32 currentProgram = 0;
  std::vector<CanDoAnswer> canDo;
};

// The canDo strings the info command asks about.
const std::vector<std::string>& InfoCanDoQueries();

PluginInfo GatherInfo(const PluginInstance& plugin);

// "'Vrlx' (0x56726c78)" when all four bytes are printable, else just the hex.
std::string FormatUniqueId(vst::int32 id);

std::string FormatInfo(const PluginInfo& info);

}  // namespace vsthost
