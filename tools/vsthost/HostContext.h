// The host side of the VST 2.4 callback: what the plug-in may ask the host, and a
// record of what it asked. One context serves one plug-in instance.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "iplug/VstAbi.h"
#include "tools/vsthost/HostLock.h"

namespace vsthost {

// One call the plug-in made to the host, with the host's answer.
struct HostCall {
  vst::int32 opcode = 0;
  vst::int32 index = 0;
  vst::intptr value = 0;
  float opt = 0.0f;
  vst::intptr answer = 0;
};

// Name of a host callback opcode ("automate", "getTime", ...), or "opcode N".
std::string HostOpcodeName(vst::int32 opcode);

// One line describing a recorded call, e.g. "automate index=3 value=0 opt=0.500000 -> 0".
std::string FormatHostCall(const HostCall& call);

class HostContext {
 public:
  // Calls beyond this many are counted but not kept, so a plug-in that asks for the
  // time every block cannot grow the log without bound (and never allocates on the
  // audio thread, since the log is reserved up front).
  static constexpr std::size_t kMaxLoggedCalls = 4096;

  HostContext();

  // Host identification, as the plug-in sees it. Product names are cut to fit the
  // 64-byte buffer that the published interface promises the plug-in.
  void SetProduct(const std::string& product);
  void SetVendorVersion(vst::int32 version);
  const std::string& Product() const { return product_; }
  vst::int32 VendorVersion() const { return vendorVersion_; }

  // Transport and stream state reported through the time info and queries.
  void SetSampleRate(double rate);
  void SetBlockSize(vst::int32 frames);
  void SetTimeInfoEnabled(bool enabled) { timeInfoEnabled_ = enabled; }
  void SetProcessing(bool processing) { processing_ = processing; }
  void AdvanceTime(vst::int32 frames);
  void ResetTime();

  // Copies of the log and the counts; safe while the plug-in runs other threads.
  std::vector<HostCall> Calls() const;
  std::size_t CountOf(vst::int32 opcode) const;
  std::size_t DroppedCalls() const;
  // Parameter edits (automate, beginEdit, endEdit) in the order they arrived that
  // were not taken yet. Kept apart from the log, so a plug-in that asks for the
  // time every block cannot push them out of it.
  std::vector<HostCall> TakeEdits();

  // Answers one callback. Public so the static trampoline and tests can reach it.
  vst::intptr Answer(vst::AEffect* effect, vst::int32 opcode, vst::int32 index, vst::intptr value,
                     void* ptr, float opt);

  // Ties callbacks from this effect to this context (and stores the context in the
  // effect's user field, which belongs to the host). Unbind before the effect dies.
  void Bind(vst::AEffect* effect);
  static void Unbind(vst::AEffect* effect);

  // The function handed to the plug-in's entry point. It finds the context of a bound
  // effect, or, while an entry point runs (before the effect is known), the context
  // of the ConstructionScope. Bound effects are looked up in a table rather than
  // trusted through the user field, which a broken plug-in may have left as garbage.
  static vst::intptr VST_CALLBACK Callback(vst::AEffect* effect, vst::int32 opcode,
                                           vst::int32 index, vst::intptr value, void* ptr,
                                           float opt);

  // Binds a context to callbacks that arrive while a plug-in is being constructed.
  // Constructions are serialised process-wide while a scope is alive.
  class ConstructionScope {
   public:
    explicit ConstructionScope(HostContext& host);
    ~ConstructionScope();
    ConstructionScope(const ConstructionScope&) = delete;
    ConstructionScope& operator=(const ConstructionScope&) = delete;
  };

 private:
  vst::intptr AnswerCanDo(const char* query) const;
  void Record(const HostCall& call);

  std::string product_ = "vsthost";
  vst::int32 vendorVersion_ = 10000;
  double sampleRate_ = 48000.0;
  vst::int32 blockSize_ = 512;
  bool timeInfoEnabled_ = true;
  std::atomic<bool> processing_{false};
  vst::VstTimeInfo time_{};

  mutable HostLock logLock_;
  std::vector<HostCall> log_;
  std::vector<HostCall> edits_;
  std::array<std::size_t, 128> counts_{};
  std::size_t dropped_ = 0;
};

}  // namespace vsthost
