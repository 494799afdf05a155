// IPlugLV2: the descriptor, the instance's life cycle and the audio thread.
#include "iplug/IPlugLV2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

using namespace vst;

const IPlugLV2::Module& IPlugLV2::RegisterModule(const char* uri, VstEntryFunction entry) {
  // Made once, by whichever descriptor the host asks for first; thread-safe as every
  // function-local static.
  static const Module module = [&] {
    Module m;
    m.uri = uri != nullptr ? uri : "";
    m.uiUri = m.uri + kUiSuffix;
    m.stateKey = m.uri + kStateKeySuffix;
    m.entry = entry;
    return m;
  }();
  return module;
}

const LV2_Descriptor* IPlugLV2::Descriptor(const char* uri, VstEntryFunction entry) {
  static const LV2_Descriptor descriptor = {
      RegisterModule(uri, entry).uri.c_str(),
      &IPlugLV2::Instantiate,
      &IPlugLV2::ConnectPort,
      &IPlugLV2::Activate,
      &IPlugLV2::Run,
      &IPlugLV2::Deactivate,
      &IPlugLV2::Cleanup,
      &IPlugLV2::ExtensionData,
  };
  return &descriptor;
}

const void* IPlugLV2::ExtensionData(const char* uri) {
  static const LV2_State_Interface state = {&IPlugLV2::Save, &IPlugLV2::Restore};
  if (uri != nullptr && std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
  return nullptr;
}

// --- Life cycle ---------------------------------------------------------------------

IPlugLV2::IPlugLV2(AEffect* effect) : effect_(effect), plug_(IPlugVST::FromEffect(effect)) {
  layout_.inputs = plug_->MaxInputs();
  layout_.outputs = plug_->MaxOutputs();
  layout_.params = plug_->ParamCount();
  ports_.assign(static_cast<std::size_t>(layout_.PortCount()), nullptr);
  hostIns_.assign(static_cast<std::size_t>(layout_.inputs), nullptr);
  hostOuts_.assign(static_cast<std::size_t>(layout_.outputs), nullptr);
  const auto params = static_cast<std::size_t>(layout_.params);
  lastSeen_.resize(params);
  lastHost_.resize(params);
  echoes_.resize(params);
  published_ = std::make_unique<std::atomic<float>[]>(params);
  publishedDirty_ = std::make_unique<std::atomic<bool>[]>(params);
  for (int p = 0; p < layout_.params; ++p) {
    // Until the host's ports say otherwise, they hold what the plug-in holds.
    const auto value = static_cast<float>(plug_->Param(p)->Value());
    lastSeen_[static_cast<std::size_t>(p)] = value;
    lastHost_[static_cast<std::size_t>(p)] = value;
  }
  hostWrites_.reserve(64);
  effect_->user = this;
  handOver_ = std::thread([this] { HandOverLoop(); });
}

IPlugLV2::~IPlugLV2() {
  StopHandOver();
  // The dispatcher deletes the plug-in, which owns the lock it is called under.
  effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
}

LV2_Handle IPlugLV2::Instantiate(const LV2_Descriptor*, double rate, const char*,
                                 const LV2_Feature* const* features) {
  const Module& module = TheModule();
  if (module.entry == nullptr) return nullptr;
  AEffect* effect = module.entry(&IPlugLV2::HostCallback);
  if (effect == nullptr || IPlugVST::FromEffect(effect) == nullptr) return nullptr;
  IPlugLV2* self = nullptr;
  try {
    self = new IPlugLV2(effect);
  } catch (const std::bad_alloc&) {
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return nullptr;
  }
  self->Configure(rate, features);
  return self;
}

void IPlugLV2::Configure(double rate, const LV2_Feature* const* features) {
  const LV2_URID_Map* map = nullptr;
  const LV2_Options_Option* options = nullptr;
  for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
    if (std::strcmp(features[i]->URI, LV2_URID__map) == 0) {
      map = static_cast<const LV2_URID_Map*>(features[i]->data);
    } else if (std::strcmp(features[i]->URI, LV2_OPTIONS__options) == 0) {
      options = static_cast<const LV2_Options_Option*>(features[i]->data);
    }
  }
  int maxBlock = 0;
  if (map != nullptr) {
    chunkType_ = map->map(map->handle, LV2_ATOM__Chunk);
    stateKey_ = map->map(map->handle, TheModule().stateKey.c_str());
    const LV2_URID maxBlockKey = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
    for (const LV2_Options_Option* o = options; o != nullptr && o->key != 0; ++o) {
      if (o->key == maxBlockKey && o->type == intType && o->size == sizeof(std::int32_t) &&
          o->value != nullptr) {
        maxBlock = *static_cast<const std::int32_t*>(o->value);
      }
    }
  }
  ILockGuard hold(plug_->Lock());
  plug_->SetSampleRate(rate);
  // Sized once here for the longest block the host promises; a host that promises
  // nothing keeps the adapter's default, and longer blocks are processed in slices.
  if (maxBlock > 0) plug_->SetBlockSize(std::min(maxBlock, IPlugBase::kMaxBlockSize));
  effect_->dispatcher(effect_, effOpen, 0, 0, nullptr, 0.0f);
}

void IPlugLV2::ConnectPort(LV2_Handle instance, std::uint32_t port, void* data) {
  auto* self = static_cast<IPlugLV2*>(instance);
  if (port < self->ports_.size()) self->ports_[port] = static_cast<float*>(data);
}

void IPlugLV2::Activate(LV2_Handle instance) {
  AEffect* effect = static_cast<IPlugLV2*>(instance)->effect_;
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
}

void IPlugLV2::Deactivate(LV2_Handle instance) {
  AEffect* effect = static_cast<IPlugLV2*>(instance)->effect_;
  effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
}

void IPlugLV2::Cleanup(LV2_Handle instance) { delete static_cast<IPlugLV2*>(instance); }

// --- Audio thread -------------------------------------------------------------------

void IPlugLV2::Run(LV2_Handle instance, std::uint32_t nFrames) {
  auto* self = static_cast<IPlugLV2*>(instance);
  self->TakeControlPorts();
  ILock& lock = self->plug_->Lock();
  if (!lock.TryEnter()) {
    self->Bypass(nFrames);
    self->bypassed_.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  self->ProcessBlock(nFrames);
  lock.Leave();
}

void IPlugLV2::TakeControlPorts() {
  for (int p = 0; p < layout_.params; ++p) {
    const float* port = ports_[static_cast<std::size_t>(layout_.ParamPort(p))];
    if (port == nullptr) continue;
    const float value = *port;
    float& seen = lastSeen_[static_cast<std::size_t>(p)];
    if (std::isnan(value) || value == seen) continue;
    seen = value;
    published_[static_cast<std::size_t>(p)].store(value, std::memory_order_relaxed);
    publishedDirty_[static_cast<std::size_t>(p)].store(true, std::memory_order_release);
    anyPublished_.store(true, std::memory_order_release);
  }
}

void IPlugLV2::UpdateConnections() {
  for (int i = 0; i < layout_.inputs; ++i) {
    const bool connected = ports_[static_cast<std::size_t>(layout_.AudioInPort(i))] != nullptr;
    if (connected != plug_->InputConnected(i)) plug_->SetInputConnections(i, 1, connected);
  }
  for (int i = 0; i < layout_.outputs; ++i) {
    const bool connected = ports_[static_cast<std::size_t>(layout_.AudioOutPort(i))] != nullptr;
    if (connected != plug_->OutputConnected(i)) plug_->SetOutputConnections(i, 1, connected);
  }
}

void IPlugLV2::ProcessBlock(std::uint32_t nFrames) {
  UpdateConnections();
  int k = 0;
  for (int i = 0; i < layout_.inputs; ++i) {
    float* buffer = ports_[static_cast<std::size_t>(layout_.AudioInPort(i))];
    if (buffer != nullptr) hostIns_[static_cast<std::size_t>(k++)] = buffer;
  }
  k = 0;
  for (int i = 0; i < layout_.outputs; ++i) {
    float* buffer = ports_[static_cast<std::size_t>(layout_.AudioOutPort(i))];
    if (buffer != nullptr) hostOuts_[static_cast<std::size_t>(k++)] = buffer;
  }
  // The VST adapter's replacing path hands the k-th connected channel the k-th buffer,
  // converts to and from doubles, and slices blocks longer than its buffers. It takes
  // the instance lock again, which this thread already holds.
  const auto frames = static_cast<int32>(std::min<std::uint32_t>(nFrames, 0x7fffffff));
  IPlugVST::VSTProcessReplacing(effect_, hostIns_.data(), hostOuts_.data(), frames);
}

void IPlugLV2::Bypass(std::uint32_t nFrames) {
  for (int i = 0; i < layout_.outputs; ++i) {
    float* out = ports_[static_cast<std::size_t>(layout_.AudioOutPort(i))];
    if (out == nullptr) continue;
    const float* in =
        i < layout_.inputs ? ports_[static_cast<std::size_t>(layout_.AudioInPort(i))] : nullptr;
    // Hosts may hand the same buffer as input and output.
    if (in != nullptr) {
      std::memmove(out, in, nFrames * sizeof(float));
    } else {
      std::memset(out, 0, nFrames * sizeof(float));
    }
  }
}

// --- The plug-in's host services ------------------------------------------------------

intptr VST_CALLBACK IPlugLV2::HostCallback(AEffect* effect, int32 opcode, int32 index, intptr,
                                           void*, float opt) {
  // Null while the plug-in is being constructed, before the adapter exists.
  auto* self = effect != nullptr ? static_cast<IPlugLV2*>(effect->user) : nullptr;
  if (self == nullptr) return 0;
  HostWrite write{HostWrite::kValue, self->layout_.ParamPort(index), 0.0f};
  switch (opcode) {
    case audioMasterAutomate:
      write.kind = HostWrite::kValue;
      break;
    case audioMasterBeginEdit:
      write.kind = HostWrite::kGrab;
      break;
    case audioMasterEndEdit:
      write.kind = HostWrite::kRelease;
      break;
    default:
      // No time info, no events, no host name: the plug-in runs with its defaults.
      return 0;
  }
  // The editor's edits, from the GUI; the host hears of them on the UI's next idle
  // call, on its UI thread. Gestures arrive without the instance lock, values with it.
  ILockGuard hold(self->plug_->Lock());
  const IPlugParam* param = self->plug_->Param(index);
  if (param == nullptr) return 0;
  if (write.kind == HostWrite::kValue) {
    write.value = static_cast<float>(param->ValueFromNormalized(opt));
    self->echoes_[static_cast<std::size_t>(index)].Remember(write.value, Now());
  }
  self->QueueHostWrite(write);
  return 0;
}
