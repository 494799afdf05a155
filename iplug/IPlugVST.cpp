#include "iplug/IPlugVST.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "iplug/Trace.h"

using namespace vst;

IPlugVST::IPlugVST(HostCallback host, int nParams, const char* channelIOStr, int nPresets,
                   const char* effectName, const char* productName, const char* vendorName,
                   std::int32_t version, std::int32_t uniqueId, std::int32_t vendorId, int latency,
                   bool usesMidi, bool usesChunks, bool isInstrument)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, vendorName, version,
                uniqueId, vendorId, latency, usesMidi, usesChunks, isInstrument),
      host_(host) {
  TRACE_CALL("IPlugVST::IPlugVST", "%s", EffectName());
  effect_.magic = kEffectMagic;
  effect_.dispatcher = &IPlugVST::VSTDispatcher;
  effect_.process = &IPlugVST::VSTProcess;
  effect_.setParameter = &IPlugVST::VSTSetParameter;
  effect_.getParameter = &IPlugVST::VSTGetParameter;
  effect_.numPrograms = nPresets;
  effect_.numParams = nParams;
  effect_.numInputs = MaxInputs();
  effect_.numOutputs = MaxOutputs();
  effect_.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (usesChunks) effect_.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1)) effect_.flags |= effFlagsCanMono;
  if (isInstrument) effect_.flags |= effFlagsIsSynth;
  effect_.initialDelay = latency;
  effect_.ioRatio = 1.0f;
  effect_.object = this;
  effect_.uniqueID = uniqueId;
  effect_.version = EffectVersion(true);
  effect_.processReplacing = &IPlugVST::VSTProcessReplacing;
  effect_.processDoubleReplacing = &IPlugVST::VSTProcessDoubleReplacing;
  inputArrangement_.numChannels = MaxInputs();
  outputArrangement_.numChannels = MaxOutputs();
  SetInputConnections(0, MaxInputs(), true);
  SetOutputConnections(0, MaxOutputs(), true);
  SetBlockSize(1024);
  floatIns_.assign(static_cast<std::size_t>(MaxInputs()), nullptr);
  floatOuts_.assign(static_cast<std::size_t>(MaxOutputs()), nullptr);
}

IPlugVST::~IPlugVST() {
  // Calls that reach the record while the instance is being torn down (from the
  // destructors of its own parts) find no object. The record is freed with the
  // instance: a host calling through it after effClose uses freed memory, which
  // nothing here can guard against.
  effect_.object = nullptr;
}

IPlugVST* IPlugVST::FromEffect(AEffect* effect) {
  if (effect == nullptr) return nullptr;
  return static_cast<IPlugVST*>(effect->object);
}

intptr IPlugVST::CallHost(int32 opcode, int32 index, intptr value, void* ptr, float opt) {
  if (host_ == nullptr) return 0;
  return host_(&effect_, opcode, index, value, ptr, opt);
}

void IPlugVST::HostBeginEdit(int idx) { CallHost(audioMasterBeginEdit, idx); }

void IPlugVST::HostAutomate(int idx, double normalized) {
  CallHost(audioMasterAutomate, idx, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::HostEndEdit(int idx) { CallHost(audioMasterEndEdit, idx); }

const VstTimeInfo* IPlugVST::HostTime(int32 flags) {
  return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, flags));
}

int IPlugVST::HostSamplePos() {
  const VstTimeInfo* time = HostTime(0);
  if (time == nullptr || !(time->samplePos >= 0.0)) return 0;
  // Beyond int32 the position cannot be represented; report the largest one.
  if (time->samplePos >= 2147483647.0) return 2147483647;
  return static_cast<int>(time->samplePos);
}

double IPlugVST::HostTempo() {
  if (host_ == nullptr) return 0.0;
  const VstTimeInfo* time = HostTime(kVstTempoValid);
  if (time != nullptr && (time->flags & kVstTempoValid) && time->tempo >= 0.0) {
    return time->tempo;
  }
  return 0.0;
}

void IPlugVST::HostTimeSig(int* numerator, int* denominator) {
  int num = 0;
  int den = 0;
  const VstTimeInfo* time = HostTime(kVstTimeSigValid);
  if (time != nullptr && (time->flags & kVstTimeSigValid) && time->timeSigNumerator >= 0 &&
      time->timeSigDenominator >= 0) {
    num = time->timeSigNumerator;
    den = time->timeSigDenominator;
  }
  if (numerator != nullptr) *numerator = num;
  if (denominator != nullptr) *denominator = den;
}

HostKindCode IPlugVST::HostKind() {
  if (hostKind_ != kHostNotAsked) return hostKind_;
  // Hosts write up to 64 bytes here in practice; the larger buffer tolerates more,
  // and the last byte is forced to a terminator whatever the host wrote.
  char product[256] = {};
  CallHost(audioMasterGetProductString, 0, 0, product);
  product[255] = '\0';
  std::int32_t version = 0;
  if (product[0] != '\0') {
    // An answer beyond int32 counts as the largest version rather than wrapping.
    const intptr answer = CallHost(audioMasterGetVendorVersion);
    const intptr largest = INT32_MAX;
    version = PackDecimalVersion(static_cast<std::int32_t>(std::clamp<intptr>(answer, 0, largest)));
  }
  SetHost(product, version);
  return hostKind_;
}

void IPlugVST::UpdateEditorRect() {
  IGraphicsInterface* graphics = Graphics();
  if (graphics == nullptr) return;
  editRect_.top = 0;
  editRect_.left = 0;
  editRect_.bottom = static_cast<int16>(graphics->Height());
  editRect_.right = static_cast<int16>(graphics->Width());
}

void IPlugVST::UpdateChannelCounts() {
  effect_.numInputs = MaxInputs();
  effect_.numOutputs = MaxOutputs();
  inputArrangement_.numChannels = MaxInputs();
  outputArrangement_.numChannels = MaxOutputs();
}

void IPlugVST::HostReady() {
  if (hostReadyDone_) return;
  hostReadyDone_ = true;
  const HostKindCode kind = HostKind();
  // These hosts mis-handle more than two connected inputs at start.
  if (kind == kHostForte || kind == kHostAudition || kind == kHostOrion || kind == kHostSawStudio) {
    if (MaxInputs() > 2) SetInputConnections(2, MaxInputs() - 2, false);
    if (MaxOutputs() > 2) SetOutputConnections(2, MaxOutputs() - 2, true);
  }
  UpdateChannelCounts();
}

void IPlugVST::AttachEditor(IGraphicsInterface* graphics) {
  if (graphics == nullptr) return;
  IPlugBase::AttachEditor(graphics);
  effect_.flags |= effFlagsHasEditor;
  UpdateEditorRect();
}

void IPlugVST::SetLatency(int samples) {
  effect_.initialDelay = samples;
  IPlugBase::SetLatency(samples);
}

bool IPlugVST::SendMidi(const MidiMsg& msg) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = msg.offset;
  event.midiData[0] = static_cast<char>(msg.status);
  event.midiData[1] = static_cast<char>(msg.data1);
  event.midiData[2] = static_cast<char>(msg.data2);
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IPlugVST::SendMidiList(const std::vector<MidiMsg>& msgs) {
  bool all = true;
  for (const MidiMsg& msg : msgs) all = SendMidi(msg) && all;
  return all;
}

// --- Audio ------------------------------------------------------------------
//
// The k-th connected channel takes the k-th host buffer. Blocks longer than the
// channel buffers are processed in slices, so a host that sends more frames than
// it announced cannot make us write past a buffer.

void IPlugVST::ProcessFloat(float** inputs, float** outputs, int nFrames, FloatMode mode) {
  ILockGuard hold(Lock());
  if (UsesMidi()) CallHost(audioMasterWantMidi);
  const int slice = std::max(BlockSize(), 1);
  for (int done = 0; done < nFrames; done += slice) {
    const int n = std::min(slice, nFrames - done);
    if (mode == FloatMode::kReplace && ProcessHostFloats(inputs, outputs, done, n)) continue;
    int k = 0;
    for (int i = 0; i < MaxInputs(); ++i) {
      ChannelSlot& slot = InputSlot(i);
      if (!slot.connected) continue;
      const float* src = inputs != nullptr ? inputs[k++] : nullptr;
      double* dst = slot.scratch.data();
      if (src != nullptr) {
        src += done;
        for (int s = 0; s < n; ++s) dst[s] = src[s];
      } else {
        std::fill(dst, dst + n, 0.0);
      }
      InputPointers()[i] = dst;
    }
    k = 0;
    for (int i = 0; i < MaxOutputs(); ++i) {
      ChannelSlot& slot = OutputSlot(i);
      if (!slot.connected) continue;
      slot.hostOut = outputs != nullptr ? outputs[k++] : nullptr;
      OutputPointers()[i] = slot.scratch.data();
    }
    ProcessBlock(InputPointers(), OutputPointers(), n);
    for (int i = 0; i < MaxOutputs(); ++i) {
      ChannelSlot& slot = OutputSlot(i);
      if (!slot.connected || slot.hostOut == nullptr) continue;
      float* dst = slot.hostOut + done;
      const double* src = slot.scratch.data();
      if (mode == FloatMode::kAccumulate) {
        for (int s = 0; s < n; ++s) dst[s] += static_cast<float>(src[s]);
      } else {
        for (int s = 0; s < n; ++s) dst[s] = static_cast<float>(src[s]);
      }
    }
  }
}

namespace {

bool Overlap(const float* a, const float* b, int n) {
  const auto x = reinterpret_cast<std::uintptr_t>(a), y = reinterpret_cast<std::uintptr_t>(b);
  const std::uintptr_t bytes = static_cast<std::uintptr_t>(n) * sizeof(float);
  return x < y + bytes && y < x + bytes;
}

}  // namespace

// Offers the slice's host buffers to ProcessFloatBlock, skipping the double
// copies, when every connected channel has a buffer and no output overlaps the
// input of another channel (the plug-in could overwrite samples it has yet to
// read). Returns false when the slice still has to take the double path.
bool IPlugVST::ProcessHostFloats(float** inputs, float** outputs, int offset, int nFrames) {
  if (inputs == nullptr || outputs == nullptr) return false;
  int k = 0;
  for (int i = 0; i < MaxInputs(); ++i) {
    float* buffer = nullptr;
    if (InputSlot(i).connected) {
      buffer = inputs[k++];
      if (buffer == nullptr) return false;
      buffer += offset;
    }
    floatIns_[static_cast<std::size_t>(i)] = buffer;
  }
  k = 0;
  for (int o = 0; o < MaxOutputs(); ++o) {
    float* buffer = nullptr;
    if (OutputSlot(o).connected) {
      buffer = outputs[k++];
      if (buffer == nullptr) return false;
      buffer += offset;
      for (int i = 0; i < MaxInputs(); ++i) {
        const float* in = floatIns_[static_cast<std::size_t>(i)];
        if (in != nullptr && !(i == o && in == buffer) && Overlap(in, buffer, nFrames))
          return false;
      }
    }
    floatOuts_[static_cast<std::size_t>(o)] = buffer;
  }
  return ProcessFloatBlock(floatIns_.data(), floatOuts_.data(), nFrames);
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int nFrames) {
  ILockGuard hold(Lock());
  if (UsesMidi()) CallHost(audioMasterWantMidi);
  const int slice = std::max(BlockSize(), 1);
  for (int done = 0; done < nFrames; done += slice) {
    const int n = std::min(slice, nFrames - done);
    int k = 0;
    for (int i = 0; i < MaxInputs(); ++i) {
      ChannelSlot& slot = InputSlot(i);
      if (!slot.connected) continue;
      double* src = inputs != nullptr ? inputs[k++] : nullptr;
      if (src != nullptr) {
        InputPointers()[i] = src + done;
      } else {
        std::fill(slot.scratch.begin(), slot.scratch.begin() + n, 0.0);
        InputPointers()[i] = slot.scratch.data();
      }
    }
    k = 0;
    for (int i = 0; i < MaxOutputs(); ++i) {
      ChannelSlot& slot = OutputSlot(i);
      if (!slot.connected) continue;
      double* dst = outputs != nullptr ? outputs[k++] : nullptr;
      OutputPointers()[i] = dst != nullptr ? dst + done : slot.scratch.data();
    }
    ProcessBlock(InputPointers(), OutputPointers(), n);
  }
  // Later float calls must not find entries still pointing into the host's buffers.
  for (int i = 0; i < MaxInputs(); ++i) InputPointers()[i] = InputSlot(i).scratch.data();
  for (int i = 0; i < MaxOutputs(); ++i) OutputPointers()[i] = OutputSlot(i).scratch.data();
}

void VST_CALLBACK IPlugVST::VSTProcess(AEffect* effect, float** inputs, float** outputs,
                                       int32 nFrames) {
  IPlugVST* plug = FromEffect(effect);
  if (plug != nullptr) plug->ProcessFloat(inputs, outputs, nFrames, FloatMode::kAccumulate);
}

void VST_CALLBACK IPlugVST::VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                                int32 nFrames) {
  IPlugVST* plug = FromEffect(effect);
  if (plug != nullptr) plug->ProcessFloat(inputs, outputs, nFrames, FloatMode::kReplace);
}

void VST_CALLBACK IPlugVST::VSTProcessDoubleReplacing(AEffect* effect, double** inputs,
                                                      double** outputs, int32 nFrames) {
  IPlugVST* plug = FromEffect(effect);
  if (plug != nullptr) plug->ProcessDouble(inputs, outputs, nFrames);
}

// --- Parameters ---------------------------------------------------------------

float VST_CALLBACK IPlugVST::VSTGetParameter(AEffect* effect, int32 index) {
  TRACE_CALL("IPlugVST::VSTGetParameter", "%d", index);
  IPlugVST* plug = FromEffect(effect);
  if (plug == nullptr) return 0.0f;
  ILockGuard hold(plug->Lock());
  const IPlugParam* param = plug->Param(index);
  return param != nullptr ? static_cast<float>(param->Normalized()) : 0.0f;
}

void VST_CALLBACK IPlugVST::VSTSetParameter(AEffect* effect, int32 index, float value) {
  TRACE_CALL("IPlugVST::VSTSetParameter", "%d:%f", index, static_cast<double>(value));
  IPlugVST* plug = FromEffect(effect);
  if (plug == nullptr) return;
  plug->SetParameterFromHost(index, value);
}
