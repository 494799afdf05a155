// The framework's TestPlug behind the LV2 adapter, with a stand-in editor that records
// what the plug-in shows in it. Ports: audio in 0-3, audio out 4-5, then "switch" (6),
// "choice" (7) and "gain" (8, -30..3 dB).
#pragma once

#include <thread>
#include <vector>

#include "iplug/IGraphicsInterface.h"
#include "iplug/IPlugLV2.h"
#include "tests/support/TestPlug.h"

class FakeGraphics : public IGraphicsInterface {
 public:
  struct Shown {
    int param;
    double value;
    bool normalized;
    std::thread::id thread;
  };
  std::vector<Shown> shown;
  int opens = 0;
  int closes = 0;
  void* parent = nullptr;
  int window = 7;  // its address stands for the editor's window

  void SetControlsFromPlugin(int param, double value, bool normalized) override {
    shown.push_back({param, value, normalized, std::this_thread::get_id()});
  }
  void PrepareSurfaces() override {}
  int Width() const override { return 300; }
  int Height() const override { return 200; }
  void* OpenEditorWindow(void* hostParent) override {
    ++opens;
    parent = hostParent;
    return &window;
  }
  void CloseEditorWindow() override { ++closes; }
};

constexpr const char* kTestPlugUri = "urn:test:plug";
enum TestPorts {
  kIn1 = 0,
  kIn2 = 1,
  kIn3 = 2,
  kOut1 = 4,
  kOut2 = 5,
  kSwitch = 6,
  kChoice = 7,
  kGain = 8
};

// The module's VST entry for the test program.
vst::AEffect* VST_CALLBACK TestLv2Entry(vst::HostCallback host);
const LV2_Descriptor* TestDescriptor();

TestPlug& PlugOf(IPlugLV2* instance);
FakeGraphics& GraphicsOf(IPlugLV2* instance);
