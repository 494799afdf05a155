#include "iplug/IPlugBase.h"
#include "iplug/TextCopy.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "iplug/Trace.h"

namespace {

void CopyName(char* dst, const char* src) { CopyText(dst, src, 128); }

// "YYYYmmdd HH:MM " followed by the capitals of the local time-zone name.
void ConstructionStamp(char* out, std::size_t size) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  const std::tm* parts = std::localtime(&now);
  if (parts != nullptr) local = *parts;
  std::size_t n = std::strftime(out, size, "%Y%m%d %H:%M ", &local);
  char zone[64] = {};
  std::strftime(zone, sizeof(zone), "%Z", &local);
  for (const char* c = zone; *c != '\0' && n + 1 < size; ++c) {
    if (std::isupper(static_cast<unsigned char>(*c))) out[n++] = *c;
  }
  out[n] = '\0';
}

}  // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* vendorName, std::int32_t version,
                     std::int32_t uniqueId, std::int32_t vendorId, int latency, bool usesMidi,
                     bool usesChunks, bool isInstrument)
    : uniqueId_(uniqueId),
      vendorId_(vendorId),
      version_(version),
      usesMidi_(usesMidi),
      usesChunks_(usesChunks),
      isInstrument_(isInstrument),
      latency_(latency) {
  char stamp[96];
  ConstructionStamp(stamp, sizeof(stamp));
  TRACE_CALL("IPlugBase::IPlugBase", "%s:%s", effectName != nullptr ? effectName : "", stamp);

  for (int i = 0; i < nParams; ++i) params_.push_back(std::make_unique<IPlugParam>());
  for (int i = 0; i < nPresets; ++i) {
    auto preset = std::make_unique<Preset>();
    std::snprintf(preset->name, Preset::kNameSize, "- %d -", i);
    presets_.push_back(std::move(preset));
  }
  CopyName(effectName_, effectName);
  CopyName(productName_, productName);
  CopyName(vendorName_, vendorName);
  ParseChannelIO(channelIOStr);
}

// The editor goes first, while the parameters, presets and channels it may look at
// still stand; then the rest in the order they were made; the lock last.
IPlugBase::~IPlugBase() {
  graphics_.reset();
  params_.clear();
  presets_.clear();
  inputSlots_.clear();
  outputSlots_.clear();
  channelPairs_.clear();
  inputPtrs_.clear();
  outputPtrs_.clear();
}

void IPlugBase::ParseChannelIO(const char* channelIOStr) {
  int nInMax = 0;
  int nOutMax = 0;
  // Pairs "in-out" separated by single blanks. A token that is not a pair ends the
  // list: the string is the product's own constant, so this only guards typos.
  for (const char* p = channelIOStr; p != nullptr && *p != '\0';) {
    ChannelIOPair pair;
    if (std::sscanf(p, "%d-%d", &pair.nIn, &pair.nOut) != 2) break;
    channelPairs_.push_back(pair);
    nInMax = std::max(nInMax, pair.nIn);
    nOutMax = std::max(nOutMax, pair.nOut);
    p = std::strchr(p, ' ');
    if (p != nullptr) ++p;
  }
  inputPtrs_.assign(static_cast<std::size_t>(nInMax), nullptr);
  outputPtrs_.assign(static_cast<std::size_t>(nOutMax), nullptr);
  inputSlots_.resize(static_cast<std::size_t>(nInMax));
  outputSlots_.resize(static_cast<std::size_t>(nOutMax));
  for (int i = 0; i < nInMax; ++i) InputSlot(i).index = i;
  for (int i = 0; i < nOutMax; ++i) OutputSlot(i).index = i;
}

IPlugParam* IPlugBase::Param(int idx) {
  if (idx < 0 || idx >= ParamCount()) return nullptr;
  return params_[static_cast<std::size_t>(idx)].get();
}

const IPlugParam* IPlugBase::Param(int idx) const {
  if (idx < 0 || idx >= ParamCount()) return nullptr;
  return params_[static_cast<std::size_t>(idx)].get();
}

void IPlugBase::SetParameterFromGUI(int idx, double normalized) {
  TRACE_CALL("IPlugBase::SetParameterFromGUI", "%d:%f", idx, normalized);
  ILockGuard hold(lock_);
  IPlugParam* param = Param(idx);
  if (param == nullptr) return;
  HostAutomate(idx, normalized);
  param->SetFromNormalized(normalized);
  ParamChanged(idx);
}

void IPlugBase::SetParameterFromHost(int idx, double normalized) {
  ILockGuard hold(lock_);
  IPlugParam* param = Param(idx);
  if (param == nullptr) return;
  // The controls get what the parameter made of the host's value: a NaN or a
  // number outside 0..1 from a host must not reach them raw.
  param->SetFromNormalized(normalized);
  if (graphics_ != nullptr) graphics_->SetControlsFromPlugin(idx, param->Normalized(), true);
  ParamChanged(idx);
}

void IPlugBase::AnnounceAllParams() {
  for (int i = 0; i < ParamCount(); ++i) ParamChanged(i);
  ResetState();
}

void IPlugBase::PushParamsToGraphics() {
  if (graphics_ == nullptr) return;
  for (int i = 0; i < ParamCount(); ++i) {
    graphics_->SetControlsFromPlugin(i, Param(i)->Value(), false);
  }
}

bool IPlugBase::LegalIO(int nIn, int nOut) const {
  bool legal = false;
  for (const ChannelIOPair& pair : channelPairs_) {
    if ((nIn < 0 || nIn == pair.nIn) && (nOut < 0 || nOut == pair.nOut)) {
      legal = true;
      break;
    }
  }
  TRACE_CALL("IPlugBase::LegalIO", "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

void IPlugBase::SetConnections(std::vector<ChannelSlot>& slots, std::vector<double*>& ptrs,
                               int start, int count, bool connected) {
  const int size = static_cast<int>(slots.size());
  if (start < 0) {
    count += start;
    start = 0;
  }
  for (int i = start; i < size && i - start < count; ++i) {
    ChannelSlot& slot = slots[static_cast<std::size_t>(i)];
    slot.connected = connected;
    if (!connected) {
      // The scratch may still hold audio converted while the channel was connected;
      // an unconnected input must read silence.
      std::fill(slot.scratch.begin(), slot.scratch.end(), 0.0);
      ptrs[static_cast<std::size_t>(slot.index)] = slot.scratch.data();
    }
  }
}

void IPlugBase::SetInputConnections(int start, int count, bool connected) {
  SetConnections(inputSlots_, inputPtrs_, start, count, connected);
}

void IPlugBase::SetOutputConnections(int start, int count, bool connected) {
  SetConnections(outputSlots_, outputPtrs_, start, count, connected);
}

std::int32_t IPlugBase::EffectVersion(bool asDecimal) const {
  if (!asDecimal) return version_;
  const std::int32_t major = (version_ >> 16) & 0xFFFF;
  const std::int32_t minor = (version_ >> 8) & 0xFF;
  const std::int32_t patch = version_ & 0xFF;
  return major * 10000 + minor * 100 + patch;
}

void IPlugBase::SetSampleRate(double sampleRate) {
  if (std::isfinite(sampleRate) && sampleRate > 0.0) sampleRate_ = sampleRate;
}

void IPlugBase::SetHost(const char* name, std::int32_t version) {
  hostKind_ = HostKindFromName(name);
  hostVersion_ = version;
  char versionText[32];
  VersionText(version, versionText, sizeof(versionText));
  TRACE_CALL("IPlugBase::SetHost", "host_%sknown:%s:%s", hostKind_ == kHostUnknown ? "un" : "",
             name != nullptr ? name : "", versionText);
}

void IPlugBase::ResetState() { ILockGuard hold(lock_); }

void IPlugBase::ParamChanged(int) { ILockGuard hold(lock_); }

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  const int nIn = MaxInputs();
  const int nOut = MaxOutputs();
  const auto bytes = static_cast<std::size_t>(nFrames) * sizeof(double);
  for (int i = 0; i < nOut; ++i) {
    if (i < nIn) {
      std::memcpy(outputs[i], inputs[i], bytes);
    } else {
      std::memset(outputs[i], 0, bytes);
    }
  }
}

bool IPlugBase::ProcessFloatBlock(float**, float**, int) { return false; }

void IPlugBase::Activate(bool) { ILockGuard hold(lock_); }

void IPlugBase::HandleMidi(const MidiMsg& msg) { SendMidi(msg); }

bool IPlugBase::NoteName(int, char* text, int textSize) {
  if (text != nullptr && textSize > 0) text[0] = '\0';
  return false;
}

bool IPlugBase::SaveState(StateChunk& chunk) { return SerializeParams(chunk); }

int IPlugBase::LoadState(const StateChunk& chunk, int pos) { return UnserializeParams(chunk, pos); }

HostKindCode IPlugBase::HostKind() { return hostKind_; }

void IPlugBase::AttachEditor(IGraphicsInterface* graphics) {
  if (graphics == nullptr) return;
  ILockGuard hold(lock_);
  for (int i = 0; i < ParamCount(); ++i) {
    graphics->SetControlsFromPlugin(i, Param(i)->Normalized(), true);
  }
  graphics->PrepareSurfaces();
  graphics_.reset(graphics);
}

void IPlugBase::SetBlockSize(int frames) {
  if (frames <= 0) return;  // hosts occasionally send 0 before they know; keep ours
  if (frames > kMaxBlockSize) frames = kMaxBlockSize;
  if (frames == blockSize_) return;
  auto resize = [frames](std::vector<ChannelSlot>& slots, std::vector<double*>& ptrs) {
    for (ChannelSlot& slot : slots) {
      slot.scratch.assign(static_cast<std::size_t>(frames), 0.0);
      // The old buffer is gone: any entry that pointed at it must follow.
      ptrs[static_cast<std::size_t>(slot.index)] = slot.scratch.data();
    }
  };
  resize(inputSlots_, inputPtrs_);
  resize(outputSlots_, outputPtrs_);
  blockSize_ = frames;
}

void IPlugBase::SetLatency(int samples) { latency_ = samples; }
