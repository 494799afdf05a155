#include "tools/vsthost/PluginInfo.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

namespace vsthost {

namespace {

std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

std::string Format(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  return text;
}

std::string PinFlagsText(vst::int32 flags) {
  std::string text;
  if (flags & vst::kVstPinIsActive) text += "active";
  if (flags & vst::kVstPinIsStereo) text += text.empty() ? "stereo" : ", stereo";
  return text.empty() ? "no flags" : text;
}

std::string PinLine(const char* kind, std::size_t index, const PinInfo& pin) {
  if (!pin.known) return Format("%s %zu: (no properties)\n", kind, index + 1);
  return Format("%s %zu: %s (%s)\n", kind, index + 1, pin.label.c_str(),
                PinFlagsText(pin.flags).c_str());
}

// canDo answers are 1, 0 or -1 by the interface; some plug-ins answer magic words.
std::string AnswerText(vst::intptr answer) {
  if (answer >= -1 && answer <= 1) return std::to_string(static_cast<long long>(answer));
  return Format("0x%llx", static_cast<unsigned long long>(answer));
}

}  // namespace

const std::vector<std::string>& InfoCanDoQueries() {
  static const std::vector<std::string> queries = {"receiveVstTimeInfo",
                                                   "receiveVstEvents",
                                                   "receiveVstMidiEvent",
                                                   "sendVstEvents",
                                                   "sendVstMidiEvent",
                                                   "offline",
                                                   "bypass",
                                                   "midiProgramNames",
                                                   "hasCockosExtensions",
                                                   "hasCockosViewAsConfig"};
  return queries;
}

PluginInfo GatherInfo(const PluginInstance& plugin) {
  const vst::AEffect* effect = plugin.Effect();
  PluginInfo info;
  info.name = plugin.EffectName();
  info.vendor = plugin.VendorString();
  info.product = plugin.ProductString();
  info.version = effect->version;
  info.vendorVersion = plugin.Dispatch(vst::effGetVendorVersion);
  info.uniqueId = effect->uniqueID;
  info.flags = effect->flags;
  info.vstVersion = plugin.Dispatch(vst::effGetVstVersion);
  info.category = plugin.Dispatch(vst::effGetPlugCategory);
  info.initialDelay = effect->initialDelay;
  for (vst::int32 i = 0; i < effect->numInputs; ++i) info.inputs.push_back(plugin.InputPin(i));
  for (vst::int32 i = 0; i < effect->numOutputs; ++i) info.outputs.push_back(plugin.OutputPin(i));
  for (vst::int32 i = 0; i < plugin.NumParams(); ++i)
    info.params.push_back(ParamInfo{plugin.ParamName(i), plugin.ParamLabel(i),
                                    plugin.ParamDisplay(i), plugin.GetParameter(i)});
  for (vst::int32 i = 0; i < plugin.NumPrograms(); ++i)
    info.programs.push_back(plugin.ProgramName(i));
  info.currentProgram = plugin.CurrentProgram();
  for (const std::string& query : InfoCanDoQueries())
    info.canDo.push_back(CanDoAnswer{query, plugin.CanDo(query.c_str())});
  return info;
}

std::string FormatUniqueId(vst::int32 id) {
  auto u = static_cast<std::uint32_t>(id);
  char chars[5] = {char(u >> 24), char(u >> 16), char(u >> 8), char(u), 0};
  bool printable = true;
  for (int i = 0; i < 4; ++i)
    printable = printable && chars[i] >= 0x20 && chars[i] < 0x7f && chars[i] != '\'';
  if (!printable) return Format("0x%08x", u);
  return Format("'%s' (0x%08x)", chars, u);
}

std::string FormatInfo(const PluginInfo& info) {
  std::string text;
  text += "name: " + info.name + "\n";
  text += "vendor: " + info.vendor + "\n";
  text += "product: " + info.product + "\n";
  text += Format("version: %d\n", static_cast<int>(info.version));
  text += Format("vendor version: %lld\n", static_cast<long long>(info.vendorVersion));
  text += "unique id: " + FormatUniqueId(info.uniqueId) + "\n";
  text += Format("flags: 0x%x\n", static_cast<unsigned>(info.flags));
  text += Format("vst version: %lld\n", static_cast<long long>(info.vstVersion));
  text += Format("category: %lld\n", static_cast<long long>(info.category));
  text += Format("initial delay: %d\n", static_cast<int>(info.initialDelay));
  text += Format("inputs: %zu\n", info.inputs.size());
  for (std::size_t i = 0; i < info.inputs.size(); ++i) text += PinLine("input", i, info.inputs[i]);
  text += Format("outputs: %zu\n", info.outputs.size());
  for (std::size_t i = 0; i < info.outputs.size(); ++i)
    text += PinLine("output", i, info.outputs[i]);
  text += Format("params: %zu\n", info.params.size());
  for (std::size_t i = 0; i < info.params.size(); ++i) {
    const ParamInfo& p = info.params[i];
    text += Format("param %zu: %s = %f [%s] '%s'\n", i, p.name.c_str(), double(p.value),
                   p.display.c_str(), p.label.c_str());
  }
  text += Format("programs: %zu\n", info.programs.size());
  for (std::size_t i = 0; i < info.programs.size(); ++i)
    text += Format("program %zu: %s\n", i, info.programs[i].c_str());
  text += Format("current program: %d\n", static_cast<int>(info.currentProgram));
  for (const CanDoAnswer& c : info.canDo)
    text += "canDo " + c.query + ": " + AnswerText(c.answer) + "\n";
  return text;
}

}  // namespace vsthost
