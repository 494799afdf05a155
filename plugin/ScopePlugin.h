// The Virlex plug-in: four inputs passed through and captured, sixteen parameters
// turned into state of its own, panel texts and state of the display.
//
// Threads: ParamChanged, ResetState and ProcessBlock run with the instance lock
// held (the framework takes it); Pull takes it itself. The editor, when one is
// attached, is reached only through the ScopeDisplayLink.
#pragma once

#include <atomic>
#include <memory>

#include "iplug/IPlugVST.h"
#include "plugin/ScopeDisplayLink.h"
#include "plugin/ScopeParams.h"
#include "plugin/engine/ScopeFeed.h"

class ScopePlugin : public IPlugVST {
 public:
  static constexpr std::int32_t kVersion = 0x15400;

  explicit ScopePlugin(vst::HostCallback host);
  ~ScopePlugin() override;

  void ResetState() override;
  void ParamChanged(int idx) override;
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  // The same block on a host's float buffers, without the double copies.
  bool ProcessFloatBlock(float** inputs, float** outputs, int nFrames) override;

  // The display's request for new samples (GUI thread); see ScopeFeed::Pull.
  int Pull(ChannelWindow* const channels[ScopeFeed::kInputs]);

  // Attaches the editor's side of the hand-off (ownership passes here) and pushes
  // the current state into it.
  void AttachDisplay(std::unique_ptr<ScopeDisplayLink> display);
  ScopeDisplayLink* Display() { return display_.get(); }

  // While frozen the audio thread stops asking the display to redraw. Set by the
  // freeze control and by a click on the display, from the GUI thread.
  void SetFrozen(bool frozen) { frozen_.store(frozen, std::memory_order_relaxed); }
  bool Frozen() const { return frozen_.load(std::memory_order_relaxed); }

  // The GUI reads it (the freeze button) while host threads change it.
  int Domain() const { return domain_.load(std::memory_order_relaxed); }
  int FftSize() const { return fftSize_; }
  double XZoomLow() const { return xZoomLow_; }
  double XZoomHigh() const { return xZoomHigh_; }
  double YZoom() const { return yZoom_; }
  double ScopeSampleRate() const { return sampleRate_; }
  const ScopeFeed& Feed() const { return feed_; }

 private:
  template <class Sample>
  void PassAndCapture(Sample** inputs, Sample** outputs, int nFrames);
  void ClampXZoom(int idx);
  void UpdateWindowReadout();
  void RefreshScales();

  ScopeFeed feed_;
  std::unique_ptr<ScopeDisplayLink> display_;
  int fftSize_ = 4096;
  std::atomic<int> domain_{kDomainTime};
  double sampleRate_ = 44100.0;
  double xZoomLow_ = 0.5;
  double xZoomHigh_ = 1.0;
  double yZoom_ = 1.0;  // the parameter's default is 0.5; this copy follows its first change
  std::atomic<bool> frozen_{false};
};
