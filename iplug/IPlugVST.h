// The VST 2.4 host adapter.
//
// Fills the AEffect record the host holds, answers the dispatcher opcodes,
// converts the host's audio buffers for ProcessBlock and implements the host
// services of IPlugBase (automation, time info, MIDI out, host identification)
// through the host callback. Every entry from the host takes the instance lock
// for the whole call.
#pragma once

#include "iplug/IPlugBase.h"
#include "iplug/VstAbi.h"

class IPlugVST : public IPlugBase {
 public:
  IPlugVST(vst::HostCallback host, int nParams, const char* channelIOStr, int nPresets,
           const char* effectName, const char* productName, const char* vendorName,
           std::int32_t version, std::int32_t uniqueId, std::int32_t vendorId, int latency,
           bool usesMidi, bool usesChunks, bool isInstrument);
  ~IPlugVST() override;

  vst::AEffect* Effect() { return &effect_; }
  static IPlugVST* FromEffect(vst::AEffect* effect);

  void HostBeginEdit(int idx) override;
  void HostAutomate(int idx, double normalized) override;
  void HostEndEdit(int idx) override;
  int HostSamplePos() override;
  double HostTempo() override;
  void HostTimeSig(int* numerator, int* denominator) override;
  HostKindCode HostKind() override;
  void UpdateEditorRect() override;
  void HostReady() override;
  void AttachEditor(IGraphicsInterface* graphics) override;
  void SetLatency(int samples) override;
  bool SendMidi(const MidiMsg& msg) override;
  bool SendMidiList(const std::vector<MidiMsg>& msgs) override;

  // The entries the AEffect record points at.
  static vst::intptr VST_CALLBACK VSTDispatcher(vst::AEffect* effect, vst::int32 opcode,
                                                vst::int32 index, vst::intptr value, void* ptr,
                                                float opt);
  static void VST_CALLBACK VSTProcess(vst::AEffect* effect, float** inputs, float** outputs,
                                      vst::int32 nFrames);
  static void VST_CALLBACK VSTProcessReplacing(vst::AEffect* effect, float** inputs,
                                               float** outputs, vst::int32 nFrames);
  static void VST_CALLBACK VSTProcessDoubleReplacing(vst::AEffect* effect, double** inputs,
                                                     double** outputs, vst::int32 nFrames);
  static float VST_CALLBACK VSTGetParameter(vst::AEffect* effect, vst::int32 index);
  static void VST_CALLBACK VSTSetParameter(vst::AEffect* effect, vst::int32 index, float value);

 private:
  enum class FloatMode { kReplace, kAccumulate };

  vst::intptr Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                       float opt);
  vst::intptr CallHost(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
  const vst::VstTimeInfo* HostTime(vst::int32 flags);
  vst::intptr CanDo(const char* query);
  vst::intptr GetChunk(vst::int32 index, void* ptr);
  vst::intptr SetChunk(vst::int32 index, vst::intptr size, const void* bytes);
  vst::intptr ProcessEvents(const vst::VstEvents* events);
  vst::intptr PinProperties(bool input, vst::int32 index, void* ptr);
  void ApplySpeakerArrangement(const vst::VstSpeakerArrangement* arrangement, bool input);
  void UpdateChannelCounts();
  void ProcessFloat(float** inputs, float** outputs, int nFrames, FloatMode mode);
  bool ProcessHostFloats(float** inputs, float** outputs, int offset, int nFrames);
  void ProcessDouble(double** inputs, double** outputs, int nFrames);

  vst::ERect editRect_{};
  vst::HostCallback host_;
  vst::VstSpeakerArrangement inputArrangement_{};
  vst::VstSpeakerArrangement outputArrangement_{};
  bool hostReadyDone_ = false;
  StateChunk stateChunk_;
  StateChunk bankChunk_;
  vst::AEffect effect_{};
  // The host's float buffers of the current slice, for ProcessFloatBlock.
  std::vector<float*> floatIns_;
  std::vector<float*> floatOuts_;
};
