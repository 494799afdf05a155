// One Virlex instance driven as a host drives it: created through VSTPluginMain
// (linked into this program), opened, told the sample rate and block size,
// switched on, fed audio with processReplacing in blocks, and its editor opened
// without a parent window, which gives the off-screen layer. The caller decides
// when the editor's timer beats (Tick) and when mouse actions happen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/virlex-render/AudioSource.h"
#include "tools/virlex-render/MouseScript.h"
#include "tools/virlex-render/ParamSetting.h"
#include "tools/vsthost/HostContext.h"
#include "tools/vsthost/PluginInstance.h"

class IGraphicsOffscreen;

namespace render {

class RenderSession {
 public:
  RenderSession();
  ~RenderSession();
  RenderSession(const RenderSession&) = delete;
  RenderSession& operator=(const RenderSession&) = delete;

  // Creates the instance and runs the host's set-up: effOpen, sample rate, block
  // size, effMainsChanged 1.
  bool Start(double sampleRate, int blockSize, std::string& error);
  // setParameter with a normalised value; false for an unknown index.
  bool SetParameter(int index, float normalized);
  // Resolves and applies settings in order; stops at the first bad one.
  bool ApplySettings(const std::vector<ParamSetting>& settings, std::string& error);
  // effEditOpen with no parent window. Fails when the plug-in has no editor, or
  // one that is not the off-screen kind.
  bool OpenEditor(std::string& error);

  // Processes the audio from the current position up to sample `until`, in blocks
  // of at most the block size.
  void Advance(std::int64_t until, const AudioSource& source);
  std::int64_t Position() const { return position_; }

  // One beat of the editor's redraw timer; true when something was drawn.
  bool Tick();
  void Perform(const MouseAction& action);
  bool WritePng(const std::string& path, std::string& error);

  vsthost::PluginInstance* Plugin() { return plugin_.get(); }
  IGraphicsOffscreen* Editor() { return editor_; }

  // effEditClose, effMainsChanged 0, effClose. Also done by the destructor.
  void Close();

 private:
  vsthost::HostContext host_;
  std::unique_ptr<vsthost::PluginInstance> plugin_;
  IGraphicsOffscreen* editor_ = nullptr;
  std::vector<std::vector<float>> inputs_, outputs_;
  std::vector<float*> inputPtrs_, outputPtrs_;
  std::int64_t position_ = 0;
  int blockSize_ = 512;
};

}  // namespace render
