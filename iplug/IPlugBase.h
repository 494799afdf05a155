// The host-independent core of a plug-in instance.
//
// Owns the parameters, the presets, the legal channel configurations with the
// per-channel buffers, the sample rate and block size, the attached editor, and
// the one re-entrant lock that serialises the host's threads, the audio thread and
// the GUI. A host adapter (IPlugVST) derives from it and fills in the host
// services; the product derives from the adapter and overrides the destructor,
// ResetState, ParamChanged and ProcessBlock.
//
// Threads: the host may call in from its GUI thread, its audio thread and others.
// Every entry from outside takes the instance lock (Lock()); the virtual
// notifications below are called with it held, so they never overlap.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "iplug/HostKind.h"
#include "iplug/IGraphicsInterface.h"
#include "iplug/ILock.h"
#include "iplug/IPlugParam.h"
#include "iplug/MidiMsg.h"
#include "iplug/Preset.h"
#include "iplug/StateChunk.h"

// One legal channel configuration: nIn inputs with nOut outputs.
struct ChannelIOPair {
  int nIn = 0;
  int nOut = 0;
};

// One input or output channel. When it is not connected its entry in the pointer
// array points at its scratch buffer, so ProcessBlock always gets valid buffers:
// silence on unconnected inputs, a discard area on unconnected outputs.
struct ChannelSlot {
  bool connected = false;
  int index = 0;                // position in the input or output pointer array
  float* hostOut = nullptr;     // outputs: the host's buffer of the current call
  std::vector<double> scratch;  // BlockSize() doubles
};

class IPlugBase {
 public:
  // The largest block the per-channel buffers are sized for; longer host blocks are
  // processed in slices by the adapter.
  static constexpr int kMaxBlockSize = 65536;

  IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
            const char* productName, const char* vendorName, std::int32_t version,
            std::int32_t uniqueId, std::int32_t vendorId, int latency, bool usesMidi,
            bool usesChunks, bool isInstrument);
  virtual ~IPlugBase();
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // --- Parameters -----------------------------------------------------------
  IPlugParam* Param(int idx);
  const IPlugParam* Param(int idx) const;
  int ParamCount() const { return static_cast<int>(params_.size()); }
  // The road of a GUI edit: tells the host first (automation), then sets the
  // parameter and notifies ParamChanged, under the lock. The calling control
  // already shows the value, so the graphics are not told.
  void SetParameterFromGUI(int idx, double normalized);
  // The road of a host edit (automation, a host's own control): sets the parameter,
  // shows what it made of the value (cleaned of NaN and values outside 0..1) in the
  // editor's controls and notifies ParamChanged, under the lock. Nothing goes back to
  // the host.
  void SetParameterFromHost(int idx, double normalized);
  // Brackets a GUI gesture on a parameter so the host can record it as one edit.
  void BeginParameterEdit(int idx) { HostBeginEdit(idx); }
  void EndParameterEdit(int idx) { HostEndEdit(idx); }
  // ParamChanged for every parameter in index order, then ResetState.
  void AnnounceAllParams();
  // Hands every parameter's real value to the attached graphics.
  void PushParamsToGraphics();

  // --- Channels ---------------------------------------------------------------
  // True when some configuration matches; a negative count matches any.
  bool LegalIO(int nIn, int nOut) const;
  int MaxInputs() const { return static_cast<int>(inputSlots_.size()); }
  int MaxOutputs() const { return static_cast<int>(outputSlots_.size()); }
  // Inline: the audio thread asks for every channel of every block.
  bool InputConnected(int i) const {
    return i >= 0 && i < MaxInputs() && inputSlots_[static_cast<std::size_t>(i)].connected;
  }
  bool OutputConnected(int i) const {
    return i >= 0 && i < MaxOutputs() && outputSlots_[static_cast<std::size_t>(i)].connected;
  }
  void SetInputConnections(int start, int count, bool connected);
  void SetOutputConnections(int start, int count, bool connected);

  // --- Identity and environment ------------------------------------------------
  const char* EffectName() const { return effectName_; }
  const char* ProductName() const { return productName_; }
  const char* VendorName() const { return vendorName_; }
  std::int32_t UniqueId() const { return uniqueId_; }
  std::int32_t VendorId() const { return vendorId_; }
  // The packed version 0xMMMMmmbb, or major*10000 + minor*100 + patch.
  std::int32_t EffectVersion(bool asDecimal) const;
  bool UsesStateChunks() const { return usesChunks_; }
  bool IsInstrument() const { return isInstrument_; }
  int Latency() const { return latency_; }
  double SampleRate() const { return sampleRate_; }
  // Keeps the previous rate for a value that is not a finite positive number, so
  // nothing downstream ever divides by zero.
  void SetSampleRate(double sampleRate);
  int BlockSize() const { return blockSize_; }
  // Stores the identified host and its packed version.
  void SetHost(const char* name, std::int32_t version);
  std::int32_t HostVersion() const { return hostVersion_; }

  ILock& Lock() { return lock_; }
  IGraphicsInterface* Graphics() { return graphics_.get(); }

  // --- State and presets -------------------------------------------------------
  // A program's state is every parameter's real value as a little-endian double.
  bool SerializeParams(StateChunk& chunk);
  // Returns the position after the values, or -1 when the chunk ran short.
  int UnserializeParams(const StateChunk& chunk, int pos);
  bool SerializeBank(StateChunk& chunk);
  int UnserializeBank(const StateChunk& chunk, int pos);
  void EnsureOnePreset();
  void CaptureDefaultPreset(const char* name, int count);
  bool RecallPreset(int idx);
  void StoreCurrentPreset(const char* name);
  const char* PresetName(int idx) const;
  int PresetCount() const { return static_cast<int>(presets_.size()); }
  int CurrentPreset() const { return currentPreset_; }

  // --- Notifications and services (virtual) -------------------------------------
  // Called after sample-rate, block-size, activation and state changes.
  virtual void ResetState();
  // Called after a parameter's value changed, from any thread, lock held.
  virtual void ParamChanged(int idx);
  // Audio thread, lock held. nFrames may be 0. Buffers are always valid.
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // A plug-in whose block does no arithmetic on the samples (a pass-through that
  // keeps what it hears) may take a host's single-precision buffers as they are,
  // instead of their double copies, and return true; the default returns false
  // and the block goes to ProcessBlock. Audio thread, lock held. One pointer per
  // input and output, null for channels that are not connected; an output is
  // either its own input's buffer or apart from every input.
  virtual bool ProcessFloatBlock(float** inputs, float** outputs, int nFrames);
  virtual void EditorOpened() {}
  virtual void EditorClosed() {}
  virtual void Activate(bool active);
  virtual void HandleMidi(const MidiMsg& msg);
  virtual bool NoteName(int key, char* text, int textSize);
  virtual bool SaveState(StateChunk& chunk);
  virtual int LoadState(const StateChunk& chunk, int pos);

  // Host services, supplied by the adapter.
  virtual void HostBeginEdit(int idx) = 0;
  virtual void HostAutomate(int idx, double normalized) = 0;
  virtual void HostEndEdit(int idx) = 0;
  virtual int HostSamplePos() = 0;
  virtual double HostTempo() = 0;
  virtual void HostTimeSig(int* numerator, int* denominator) = 0;
  virtual HostKindCode HostKind();
  virtual void UpdateEditorRect() = 0;
  virtual void HostReady() = 0;
  // Takes ownership of the editor graphics and shows every parameter in them.
  virtual void AttachEditor(IGraphicsInterface* graphics);
  virtual void SetBlockSize(int frames);
  virtual void SetLatency(int samples);
  virtual bool SendMidi(const MidiMsg& msg) = 0;
  virtual bool SendMidiList(const std::vector<MidiMsg>& msgs) = 0;

 protected:
  double** InputPointers() { return inputPtrs_.data(); }
  double** OutputPointers() { return outputPtrs_.data(); }
  ChannelSlot& InputSlot(int i) { return inputSlots_[static_cast<std::size_t>(i)]; }
  ChannelSlot& OutputSlot(int i) { return outputSlots_[static_cast<std::size_t>(i)]; }
  const std::vector<ChannelIOPair>& ChannelPairs() const { return channelPairs_; }
  bool UsesMidi() const { return usesMidi_; }

  HostKindCode hostKind_ = kHostNotAsked;

 private:
  void ParseChannelIO(const char* channelIOStr);
  void SetConnections(std::vector<ChannelSlot>& slots, std::vector<double*>& ptrs, int start,
                      int count, bool connected);

  // First member, so it is destroyed last: the editor's controls and anything else
  // torn down with the instance may still take it.
  ILock lock_;
  std::vector<ChannelIOPair> channelPairs_;
  char effectName_[128] = {};
  char productName_[128] = {};
  char vendorName_[128] = {};
  std::int32_t uniqueId_;
  std::int32_t vendorId_;
  std::int32_t version_;
  std::int32_t hostVersion_ = 0;
  bool usesMidi_;
  bool usesChunks_;
  bool isInstrument_;
  double sampleRate_ = 44100.0;
  int blockSize_ = 0;
  int latency_;
  std::vector<std::unique_ptr<IPlugParam>> params_;
  std::unique_ptr<IGraphicsInterface> graphics_;
  std::vector<std::unique_ptr<Preset>> presets_;
  int currentPreset_ = 0;
  std::vector<double*> inputPtrs_;
  std::vector<double*> outputPtrs_;
  std::vector<ChannelSlot> inputSlots_;
  std::vector<ChannelSlot> outputSlots_;
};
