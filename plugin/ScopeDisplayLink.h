// Everything the plug-in hands to its editor: the display's parameter state, its
// reset and redraw request, the panel texts and the scale overlays. The editor
// implements it; until an editor is attached the plug-in simply has none, and runs
// and captures audio all the same.
#pragma once

class IPlugParam;

// What the scale overlays need to lay out their axes.
struct ScaleSettings {
  int domain = 0;
  double xLow = 0.5;
  double xHigh = 1.0;
  double yZoom = 1.0;
  double sampleRate = 44100.0;
  int fftSize = 4096;
};

class ScopeDisplayLink {
 public:
  virtual ~ScopeDisplayLink() = default;

  // The display takes a parameter change under its own lock (the instance lock is
  // already held by the caller: instance lock first, display lock second).
  virtual void ApplyParam(int index, const IPlugParam& param) = 0;
  // Clears the display's windows and analysers for a new sample rate.
  virtual void ResetView(double sampleRate) = 0;
  // Audio thread: asks for a redraw. Must be a flag write only: no lock, no wait.
  virtual void MarkViewDirty() = 0;

  virtual void SetDelayText(int input, const char* text) = 0;
  virtual void SetLevelText(int input, const char* text) = 0;
  virtual void SetWindowReadout(const char* text) = 0;
  // The readouts and the hold handle belong to the time domain only.
  virtual void SetTimeControlsHidden(bool hidden) = 0;
  virtual void SetHoldYZoom(double yZoom) = 0;
  virtual void RefreshScales(const ScaleSettings& settings) = 0;
};
