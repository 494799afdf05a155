// One VST 2.4 plug-in instance as a host drives it: creation through the module's
// entry point, the dispatcher calls of the host life cycle, the three process
// calls, parameters, programs and chunks. All calls come from the thread that
// created the instance, except the process calls, which may run on another.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "iplug/VstAbi.h"
#include "tools/vsthost/HostContext.h"
#include "tools/vsthost/ModuleLoader.h"

namespace vsthost {

// Which of the plug-in's process entries a host uses.
enum class ProcessMode { Replacing, Accumulating, Double };

const char* ProcessModeName(ProcessMode mode);

// Properties of one input or output pin, as effGet{Input,Output}Properties report them.
struct PinInfo {
  bool known = false;  // false when the plug-in did not answer
  std::string label;
  vst::int32 flags = 0;
};

class PluginInstance {
 public:
  // Loads the module, calls VSTPluginMain (or, for old plug-ins, main) and checks the
  // effect. Returns null with a readable error for a missing file, a library without
  // either entry, an entry that returns null, or a record without the VST magic.
  static std::unique_ptr<PluginInstance> Load(const std::string& path, HostContext& host,
                                              std::string& error);

  // Creates an instance from an entry function that is already in memory. Takes
  // ownership of module (may be null); it is unloaded after the effect is closed.
  static std::unique_ptr<PluginInstance> FromEntry(vst::EntryProc entry, Module* module,
                                                   HostContext& host, std::string& error);

  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  vst::AEffect* Effect() const { return effect_; }
  HostContext& Host() const { return host_; }
  vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) const;

  // Life cycle. Close runs effMainsChanged 0 when still on, then effClose; it is
  // called by the destructor when the caller did not.
  void Open();
  void SetSampleRate(double rate);
  void SetBlockSize(vst::int32 frames);
  void SetActive(bool on);  // effMainsChanged with start/stop process
  void Close();
  bool Active() const { return active_; }
  vst::int32 BlockSize() const { return blockSize_; }

  // Process calls. They refuse (return false) a mode the plug-in does not offer and a
  // frame count above the announced block size, which plug-ins size buffers for.
  bool Supports(ProcessMode mode) const;
  bool ProcessFloat(ProcessMode mode, float** inputs, float** outputs, vst::int32 frames);
  bool ProcessDouble(double** inputs, double** outputs, vst::int32 frames);

  // Identity and description.
  std::string EffectName() const;
  std::string VendorString() const;
  std::string ProductString() const;
  PinInfo InputPin(vst::int32 index) const;
  PinInfo OutputPin(vst::int32 index) const;
  vst::intptr CanDo(const char* query) const;

  // Parameters: normalised values from 0 to 1.
  vst::int32 NumParams() const { return effect_->numParams; }
  float GetParameter(vst::int32 index) const;
  bool SetParameter(vst::int32 index, float value);
  std::string ParamName(vst::int32 index) const;
  std::string ParamLabel(vst::int32 index) const;
  std::string ParamDisplay(vst::int32 index) const;
  // Index of the parameter with this name: exact match first, then ignoring case; -1 if none.
  vst::int32 FindParameter(const std::string& name) const;

  // Programs.
  vst::int32 NumPrograms() const { return effect_->numPrograms; }
  vst::int32 CurrentProgram() const;
  std::string ProgramName(vst::int32 index) const;

  // State chunks: a copy of the plug-in's program (or bank) chunk; empty when it gives none.
  std::vector<std::uint8_t> GetChunk(bool program) const;
  bool SetChunk(const std::vector<std::uint8_t>& bytes, bool program);

 private:
  PluginInstance(vst::AEffect* effect, Module* module, HostContext& host);
  std::string QueryText(vst::int32 opcode, vst::int32 index) const;
  PinInfo QueryPin(vst::int32 opcode, vst::int32 index) const;

  vst::AEffect* effect_;
  Module* module_;
  HostContext& host_;
  bool open_ = false;
  bool closed_ = false;
  bool active_ = false;
  vst::int32 blockSize_ = 0;
};

}  // namespace vsthost
