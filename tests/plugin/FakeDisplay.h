// A display link that records what the plug-in hands to its editor.
#pragma once

#include <string>
#include <vector>

#include "iplug/IPlugParam.h"
#include "plugin/ScopeDisplayLink.h"

class FakeDisplay : public ScopeDisplayLink {
 public:
  struct Applied {
    int index;
    double value;
  };

  std::vector<Applied> applied;
  std::vector<double> resets;
  int dirtyMarks = 0;
  std::string delayText[4];
  std::string levelText[4] = {"unset", "unset", "unset", "unset"};
  std::string readout = "unset";
  bool timeControlsHidden = false;
  double holdYZoom = -1.0;
  int scaleRefreshes = 0;
  ScaleSettings scales;

  void ApplyParam(int index, const IPlugParam& param) override {
    applied.push_back({index, param.Value()});
  }
  void ResetView(double sampleRate) override { resets.push_back(sampleRate); }
  void MarkViewDirty() override { ++dirtyMarks; }
  void SetDelayText(int input, const char* text) override { delayText[input] = text; }
  void SetLevelText(int input, const char* text) override { levelText[input] = text; }
  void SetWindowReadout(const char* text) override { readout = text; }
  void SetTimeControlsHidden(bool hidden) override { timeControlsHidden = hidden; }
  void SetHoldYZoom(double yZoom) override { holdYZoom = yZoom; }
  void RefreshScales(const ScaleSettings& settings) override {
    ++scaleRefreshes;
    scales = settings;
  }
};
