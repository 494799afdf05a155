#include "tools/vsthost/PluginInstance.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace vsthost {

namespace {

// Plug-ins overrun the published string limits routinely (8 bytes for parameter
// texts, 24 for program names), so every text query gets a generous zeroed buffer.
constexpr std::size_t kTextBuffer = 512;

std::string FromBuffer(const char* buffer, std::size_t size) {
  return std::string(buffer, strnlen(buffer, size - 1));
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

const char* ProcessModeName(ProcessMode mode) {
  switch (mode) {
    case ProcessMode::Replacing:
      return "replacing";
    case ProcessMode::Accumulating:
      return "accumulating";
    case ProcessMode::Double:
      return "double";
  }
  return "?";
}

std::unique_ptr<PluginInstance> PluginInstance::Load(const std::string& path, HostContext& host,
                                                     std::string& error) {
  std::string why;
  Module* module = OpenModule(path, why);
  if (!module) {
    error = "cannot load module '" + path + "': " + why;
    return nullptr;
  }
  void* entry = FindSymbol(module, "VSTPluginMain");
  if (!entry) entry = FindSymbol(module, "main");  // plug-ins older than VST 2.4
  if (!entry) {
    CloseModule(module);
    error = "'" + path + "' is not a VST 2 plug-in: it exports neither VSTPluginMain nor main";
    return nullptr;
  }
  auto instance = FromEntry(reinterpret_cast<vst::EntryProc>(entry), module, host, error);
  if (!instance) error = "'" + path + "': " + error;
  return instance;
}

std::unique_ptr<PluginInstance> PluginInstance::FromEntry(vst::EntryProc entry, Module* module,
                                                          HostContext& host, std::string& error) {
  vst::AEffect* effect = nullptr;
  {
    HostContext::ConstructionScope scope(host);
    effect = entry(&HostContext::Callback);
  }
  if (!effect) {
    CloseModule(module);
    error = "the entry point returned no effect";
    return nullptr;
  }
  if (effect->magic != vst::kEffectMagic || !effect->dispatcher) {
    // Not a record we can talk to: no dispatcher call, not even effClose.
    char text[128];
    std::snprintf(text, sizeof(text),
                  "the entry point returned a record with magic 0x%08x, not 'VstP' (0x%08x)",
                  static_cast<unsigned>(effect->magic), static_cast<unsigned>(vst::kEffectMagic));
    CloseModule(module);
    error = text;
    return nullptr;
  }
  // Counts outside these bounds come from a corrupt record; buffers are sized by them.
  constexpr vst::int32 kMaxChannels = 1024, kMaxItems = 1 << 20;
  if (effect->numInputs < 0 || effect->numOutputs < 0 || effect->numParams < 0 ||
      effect->numPrograms < 0 || effect->numInputs > kMaxChannels ||
      effect->numOutputs > kMaxChannels || effect->numParams > kMaxItems ||
      effect->numPrograms > kMaxItems) {
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    CloseModule(module);
    error = "the effect reports impossible channel, parameter or program counts";
    return nullptr;
  }
  host.Bind(effect);
  return std::unique_ptr<PluginInstance>(new PluginInstance(effect, module, host));
}

PluginInstance::PluginInstance(vst::AEffect* effect, Module* module, HostContext& host)
    : effect_(effect), module_(module), host_(host) {}

PluginInstance::~PluginInstance() {
  Close();
  CloseModule(module_);
}

vst::intptr PluginInstance::Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value,
                                     void* ptr, float opt) const {
  if (closed_) return 0;
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginInstance::Open() {
  if (open_ || closed_) return;
  Dispatch(vst::effOpen);
  open_ = true;
}

void PluginInstance::SetSampleRate(double rate) {
  host_.SetSampleRate(rate);
  Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void PluginInstance::SetBlockSize(vst::int32 frames) {
  host_.SetBlockSize(frames);
  blockSize_ = frames;
  Dispatch(vst::effSetBlockSize, 0, frames);
}

void PluginInstance::SetActive(bool on) {
  if (on == active_ || closed_) return;
  if (on) {
    Dispatch(vst::effMainsChanged, 0, 1);
    Dispatch(vst::effStartProcess);
  } else {
    Dispatch(vst::effStopProcess);
    Dispatch(vst::effMainsChanged, 0, 0);
  }
  active_ = on;
}

void PluginInstance::Close() {
  if (closed_) return;
  SetActive(false);
  Dispatch(vst::effClose);
  // The effect record belongs to the plug-in and is gone after effClose.
  HostContext::Unbind(effect_);
  closed_ = true;
}

bool PluginInstance::Supports(ProcessMode mode) const {
  switch (mode) {
    case ProcessMode::Replacing:
      return effect_->processReplacing && (effect_->flags & vst::effFlagsCanReplacing);
    case ProcessMode::Accumulating:
      return effect_->process != nullptr;
    case ProcessMode::Double:
      return effect_->processDoubleReplacing && (effect_->flags & vst::effFlagsCanDoubleReplacing);
  }
  return false;
}

bool PluginInstance::ProcessFloat(ProcessMode mode, float** inputs, float** outputs,
                                  vst::int32 frames) {
  if (closed_ || mode == ProcessMode::Double || !Supports(mode) || frames < 0 ||
      frames > blockSize_)
    return false;
  if (mode == ProcessMode::Replacing)
    effect_->processReplacing(effect_, inputs, outputs, frames);
  else
    effect_->process(effect_, inputs, outputs, frames);
  return true;
}

bool PluginInstance::ProcessDouble(double** inputs, double** outputs, vst::int32 frames) {
  if (closed_ || !Supports(ProcessMode::Double) || frames < 0 || frames > blockSize_) return false;
  effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
  return true;
}

std::string PluginInstance::QueryText(vst::int32 opcode, vst::int32 index) const {
  char buffer[kTextBuffer] = {};
  Dispatch(opcode, index, 0, buffer);
  buffer[kTextBuffer - 1] = 0;
  return FromBuffer(buffer, kTextBuffer);
}

std::string PluginInstance::EffectName() const { return QueryText(vst::effGetEffectName, 0); }
std::string PluginInstance::VendorString() const { return QueryText(vst::effGetVendorString, 0); }
std::string PluginInstance::ProductString() const { return QueryText(vst::effGetProductString, 0); }

PinInfo PluginInstance::QueryPin(vst::int32 opcode, vst::int32 index) const {
  vst::VstPinProperties pin{};
  PinInfo info;
  info.known = Dispatch(opcode, index, 0, &pin) != 0;
  if (info.known) {
    info.label = FromBuffer(pin.label, sizeof(pin.label));
    info.flags = pin.flags;
  }
  return info;
}

PinInfo PluginInstance::InputPin(vst::int32 index) const {
  return QueryPin(vst::effGetInputProperties, index);
}

PinInfo PluginInstance::OutputPin(vst::int32 index) const {
  return QueryPin(vst::effGetOutputProperties, index);
}

vst::intptr PluginInstance::CanDo(const char* query) const {
  return Dispatch(vst::effCanDo, 0, 0, const_cast<char*>(query));
}

float PluginInstance::GetParameter(vst::int32 index) const {
  if (closed_ || index < 0 || index >= NumParams() || !effect_->getParameter) return 0.0f;
  return effect_->getParameter(effect_, index);
}

bool PluginInstance::SetParameter(vst::int32 index, float value) {
  if (closed_ || index < 0 || index >= NumParams() || !effect_->setParameter) return false;
  effect_->setParameter(effect_, index, value);
  return true;
}

std::string PluginInstance::ParamName(vst::int32 index) const {
  return QueryText(vst::effGetParamName, index);
}
std::string PluginInstance::ParamLabel(vst::int32 index) const {
  return QueryText(vst::effGetParamLabel, index);
}
std::string PluginInstance::ParamDisplay(vst::int32 index) const {
  return QueryText(vst::effGetParamDisplay, index);
}

vst::int32 PluginInstance::FindParameter(const std::string& name) const {
  for (vst::int32 i = 0; i < NumParams(); ++i)
    if (ParamName(i) == name) return i;
  std::string wanted = Lower(name);
  for (vst::int32 i = 0; i < NumParams(); ++i)
    if (Lower(ParamName(i)) == wanted) return i;
  return -1;
}

vst::int32 PluginInstance::CurrentProgram() const {
  return static_cast<vst::int32>(Dispatch(vst::effGetProgram));
}

std::string PluginInstance::ProgramName(vst::int32 index) const {
  std::string name = QueryText(vst::effGetProgramNameIndexed, index);
  // Plug-ins without the indexed query still name their current program.
  if (name.empty() && index == CurrentProgram()) name = QueryText(vst::effGetProgramName, 0);
  return name;
}

std::vector<std::uint8_t> PluginInstance::GetChunk(bool program) const {
  void* data = nullptr;
  vst::intptr size = Dispatch(vst::effGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

bool PluginInstance::SetChunk(const std::vector<std::uint8_t>& bytes, bool program) {
  if (bytes.empty()) return false;
  // Plug-ins take a non-const pointer; hand them a copy they may scribble on.
  std::vector<std::uint8_t> copy = bytes;
  return Dispatch(vst::effSetChunk, program ? 1 : 0, static_cast<vst::intptr>(copy.size()),
                  copy.data()) != 0;
}

}  // namespace vsthost
