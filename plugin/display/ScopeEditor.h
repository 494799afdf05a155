// The scope's editor: the graphics host with the display, its overlays and the
// panel controls, and the plug-in's side of the hand-off to them. The plug-in
// reaches all of it only through ScopeDisplayLink; the graphics host owns the
// controls, this object only points at them.
#pragma once

#include <memory>

#include "plugin/ScopeDisplayLink.h"

class AxisOverlay;
class FreezeButton;
class FrequencyReadout;
class HoldHandle;
class IGraphicsLice;
class ITextWidget;
class ScopePlugin;
class ScopeView;

class ScopeEditor : public ScopeDisplayLink {
 public:
  // The controls the plug-in writes to, as the editor's construction made them.
  struct Parts {
    IGraphicsLice* graphics = nullptr;
    ITextWidget* leftLabel = nullptr;
    ITextWidget* windowLabel = nullptr;
    ITextWidget* rightLabel = nullptr;
    ITextWidget* delayText[4] = {};
    ITextWidget* levelText[4] = {};
    FreezeButton* freeze = nullptr;
    ScopeView* view = nullptr;
    AxisOverlay* horizontalAxis = nullptr;
    AxisOverlay* verticalAxis = nullptr;
    HoldHandle* hold = nullptr;
    FrequencyReadout* readout = nullptr;
  };

  explicit ScopeEditor(const Parts& parts) : parts_(parts) {}

  void ApplyParam(int index, const IPlugParam& param) override;
  void ResetView(double sampleRate) override;
  void MarkViewDirty() override;
  void SetDelayText(int input, const char* text) override;
  void SetLevelText(int input, const char* text) override;
  void SetWindowReadout(const char* text) override;
  void SetTimeControlsHidden(bool hidden) override;
  void SetHoldYZoom(double yZoom) override;
  void RefreshScales(const ScaleSettings& settings) override;

  const Parts& Widgets() const { return parts_; }

 private:
  Parts parts_;
};

// Builds the complete editor for plugin (724 x 526, every panel control in its
// drawing order), wires the display to its readout, labels and freeze button, and
// attaches the graphics host to the plug-in, which owns it from then on.
std::unique_ptr<ScopeEditor> BuildScopeEditor(ScopePlugin& plugin);
