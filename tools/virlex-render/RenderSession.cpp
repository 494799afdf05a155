#include "tools/virlex-render/RenderSession.h"

#include <algorithm>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "iplug/IPlugVST.h"

// The module's entry, compiled into this program.
extern "C" vst::AEffect* VST_CALLBACK VSTPluginMain(vst::HostCallback host);

namespace render {

RenderSession::RenderSession() = default;

RenderSession::~RenderSession() { Close(); }

bool RenderSession::Start(double sampleRate, int blockSize, std::string& error) {
  host_.SetProduct("virlex-render");
  host_.SetSampleRate(sampleRate);
  host_.SetBlockSize(blockSize);
  plugin_ = vsthost::PluginInstance::FromEntry(&VSTPluginMain, nullptr, host_, error);
  if (!plugin_) return false;
  vst::AEffect* effect = plugin_->Effect();
  if (effect->numInputs < 1) {
    error = "the plug-in has no inputs";
    return false;
  }
  blockSize_ = blockSize;
  plugin_->Open();
  plugin_->SetSampleRate(sampleRate);
  plugin_->SetBlockSize(blockSize);
  plugin_->SetActive(true);
  host_.SetProcessing(true);

  const auto frames = static_cast<std::size_t>(blockSize);
  inputs_.assign(static_cast<std::size_t>(std::max(effect->numInputs, kInputs)),
                 std::vector<float>(frames));
  outputs_.assign(static_cast<std::size_t>(std::max(effect->numOutputs, 1)),
                  std::vector<float>(frames));
  inputPtrs_.clear();
  outputPtrs_.clear();
  for (auto& b : inputs_) inputPtrs_.push_back(b.data());
  for (auto& b : outputs_) outputPtrs_.push_back(b.data());
  return true;
}

bool RenderSession::SetParameter(int index, float normalized) {
  return plugin_ && plugin_->SetParameter(index, normalized);
}

bool RenderSession::ApplySettings(const std::vector<ParamSetting>& settings, std::string& error) {
  for (const ParamSetting& s : settings) {
    int index = -1;
    float value = 0.0f;
    if (!ResolveParamSetting(*plugin_, s, index, value, error)) return false;
    plugin_->SetParameter(index, value);
  }
  return true;
}

bool RenderSession::OpenEditor(std::string& error) {
  IPlugVST* plug = IPlugVST::FromEffect(plugin_->Effect());
  IGraphicsInterface* graphics = plug != nullptr ? plug->Graphics() : nullptr;
  if (graphics == nullptr || (plugin_->Effect()->flags & vst::effFlagsHasEditor) == 0) {
    error = "the plug-in has no editor (this build of Virlex was made without its display)";
    return false;
  }
  editor_ = dynamic_cast<IGraphicsOffscreen*>(graphics);
  if (editor_ == nullptr) {
    error = "the plug-in's editor is not the off-screen kind; nothing to render";
    return false;
  }
  if (plugin_->Dispatch(vst::effEditOpen, 0, 0, nullptr) == 0) {
    editor_ = nullptr;
    error = "the plug-in refused to open its editor";
    return false;
  }
  return true;
}

void RenderSession::Advance(std::int64_t until, const AudioSource& source) {
  if (!plugin_) return;
  float* const* in = inputPtrs_.data();
  while (position_ < until) {
    const int frames = static_cast<int>(std::min<std::int64_t>(until - position_, blockSize_));
    source.Read(position_, frames, in);
    plugin_->ProcessFloat(vsthost::ProcessMode::Replacing, inputPtrs_.data(), outputPtrs_.data(),
                          frames);
    host_.AdvanceTime(frames);
    position_ += frames;
  }
}

bool RenderSession::Tick() { return editor_ != nullptr && editor_->Tick(); }

void RenderSession::Perform(const MouseAction& action) {
  if (editor_ != nullptr) PerformMouseAction(*editor_, action);
}

bool RenderSession::WritePng(const std::string& path, std::string& error) {
  if (editor_ == nullptr || !editor_->WritePng(path.c_str())) {
    error = "cannot write '" + path + "'";
    return false;
  }
  return true;
}

void RenderSession::Close() {
  if (!plugin_) return;
  if (editor_ != nullptr) plugin_->Dispatch(vst::effEditClose);
  editor_ = nullptr;
  host_.SetProcessing(false);
  plugin_->Close();
  plugin_.reset();
}

}  // namespace render
