// A small plug-in on the framework, for testing the framework apart from the product:
// a bool, a 7-way enum and a dB parameter, channel configurations "1-1 2-2 4-2".
#pragma once

#include <vector>

#include "iplug/IPlugVST.h"

class TestPlug : public IPlugVST {
 public:
  explicit TestPlug(vst::HostCallback host, int nPresets = 0, bool usesChunks = false,
                    bool usesMidi = false)
      : IPlugVST(host, 3, "1-1 2-2 4-2", nPresets, "TestPlug", "", "Tester", 0x10203,
                 vst::FourCC('T', 's', 't', '1'), vst::FourCC('T', 's', 't', 'r'), 0, usesMidi,
                 usesChunks, false) {
    Param(0)->DefineBool("switch", false);
    Param(1)->DefineEnum("choice", 0, 7);
    for (int i = 0; i < 7; ++i) Param(1)->AddValueText(i, kChoiceNames[i]);
    Param(2)->DefineDouble("gain", 0.0, -30.0, 3.0, 0.1, "dB");
  }

  void ParamChanged(int idx) override { changed.push_back(idx); }
  void ResetState() override { ++resets; }
  void HandleMidi(const MidiMsg& msg) override { midi.push_back(msg); }

  void ProcessBlock(double** inputs, double** outputs, int nFrames) override {
    ++doubleBlocks;
    IPlugVST::ProcessBlock(inputs, outputs, nFrames);
  }
  // With takesFloats set, takes float blocks as they come, copying as the
  // double path does (input i to output i).
  bool ProcessFloatBlock(float** inputs, float** outputs, int nFrames) override {
    if (!takesFloats) return false;
    floatBlocks.push_back(
        {{inputs[0], inputs[1], inputs[2], inputs[3]}, {outputs[0], outputs[1]}, nFrames});
    for (int o = 0; o < 2; ++o) {
      if (outputs[o] == nullptr) continue;
      for (int s = 0; s < nFrames; ++s) outputs[o][s] = inputs[o] ? inputs[o][s] : 0.0f;
    }
    return true;
  }

  struct FloatBlock {
    float* in[4];
    float* out[2];
    int frames;
  };
  bool takesFloats = false;
  std::vector<FloatBlock> floatBlocks;
  int doubleBlocks = 0;

  std::vector<int> changed;
  std::vector<MidiMsg> midi;
  int resets = 0;

  static constexpr const char* kChoiceNames[7] = {"a", "b", "c", "d", "e", "f", "g"};
};
