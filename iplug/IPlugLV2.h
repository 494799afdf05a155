// The LV2 host adapter.
//
// One LV2 instance wraps one plug-in of the framework. The plug-in is made through
// its VST 2 entry, the one construction path every product of this framework has;
// from then on the adapter drives it as IPlugBase for audio and parameters, uses
// the instance's dispatcher for what IPlugVST already implements (open, activation,
// the program chunk), and answers, as the plug-in's host, the services IPlugVST
// sends to its host callback (automation and edit gestures from the editor).
//
// Ports: the plug-in's audio inputs, then its audio outputs, then one control input
// per parameter in real units (Lv2PortLayout). An input the host leaves unconnected
// reads silence and is not captured, as an input the VST host disconnects.
//
// Threads, as LV2 defines them:
// - run (audio thread) never waits and never allocates. It takes the instance lock
//   only when it is free; when another thread holds it, the block passes each input
//   to its output untouched (the framework's default processing) and the plug-in
//   does not see it. Parameter changes found in the control ports are handed over
//   as a host's setParameter hands them, but by the instance's own hand-over thread
//   a few milliseconds later: a plug-in's ParamChanged may allocate and may wait for
//   its editor's redraw, which the audio thread must not.
// - instantiate, activate, deactivate, restore and cleanup run on the host's own
//   threads, never together with run; save may run beside run.
// - The UI (IPlugLV2UI.cpp) reaches the instance through instance-access and calls
//   it on the host's UI thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>

#include "iplug/IPlugVST.h"
#include "iplug/Lv2EchoFilter.h"
#include "iplug/Lv2PortLayout.h"

using VstEntryFunction = vst::AEffect*(VST_CALLBACK*)(vst::HostCallback host);

// What the UI hands the instance so that the editor's edits reach the host.
struct Lv2UiHost {
  LV2UI_Write_Function write = nullptr;
  LV2UI_Controller controller = nullptr;
  const LV2UI_Touch* touch = nullptr;  // optional
};

class IPlugLV2 {
 public:
  // The descriptors of the one plug-in a module holds; the first call of either
  // fixes the URI and the entry. The UI's URI is the plug-in's with kUiSuffix
  // appended, and the program chunk is stored in the host's state under the
  // plug-in's URI with kStateKeySuffix appended.
  static const LV2_Descriptor* Descriptor(const char* uri, VstEntryFunction entry);
  static const LV2UI_Descriptor* UiDescriptor(const char* uri, VstEntryFunction entry);
  static constexpr const char* kUiSuffix = "#ui";
  static constexpr const char* kStateKeySuffix = "#program";

  ~IPlugLV2();
  IPlugLV2(const IPlugLV2&) = delete;
  IPlugLV2& operator=(const IPlugLV2&) = delete;

  IPlugVST* Plug() { return plug_; }
  const Lv2PortLayout& Layout() const { return layout_; }
  // Blocks that run passed through untouched because the instance lock was taken.
  std::int64_t BypassedBlocks() const { return bypassed_.load(std::memory_order_relaxed); }
  // Hands over now what the hand-over thread would hand over on its next round.
  void HandOverHostValues();
  // How often the hand-over thread looks for control port changes.
  static constexpr int kHandOverMilliseconds = 10;

  // --- The UI's side (host UI thread) -------------------------------------------
  // Binds the one UI an instance can have; false when one is bound already.
  bool AttachUi(const Lv2UiHost& host);
  void DetachUi();
  // Opens the editor inside the host's window; returns the editor's window or null.
  void* OpenEditor(void* parent);
  void CloseEditor();
  // The host reports a control port's value (an automation change, its own control).
  void PortEvent(int port, float value);
  // The host's idle call: delivers the editor's edits to the host.
  void UiIdle();

 private:
  struct Module {
    std::string uri;
    std::string uiUri;
    std::string stateKey;
    VstEntryFunction entry = nullptr;
  };
  static const Module& RegisterModule(const char* uri, VstEntryFunction entry);
  static const Module& TheModule() { return RegisterModule(nullptr, nullptr); }

  struct HostWrite {
    enum Kind { kValue, kGrab, kRelease } kind;
    int port;
    float value;
  };
  explicit IPlugLV2(vst::AEffect* effect);

  static LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double rate,
                                const char* bundlePath, const LV2_Feature* const* features);
  static void ConnectPort(LV2_Handle instance, std::uint32_t port, void* data);
  static void Activate(LV2_Handle instance);
  static void Run(LV2_Handle instance, std::uint32_t nFrames);
  static void Deactivate(LV2_Handle instance);
  static void Cleanup(LV2_Handle instance);
  static const void* ExtensionData(const char* uri);
  static LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store,
                               LV2_State_Handle handle, std::uint32_t flags,
                               const LV2_Feature* const* features);
  static LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                  LV2_State_Handle handle, std::uint32_t flags,
                                  const LV2_Feature* const* features);
  static LV2UI_Handle UiInstantiate(const LV2UI_Descriptor* descriptor, const char* pluginUri,
                                    const char* bundlePath, LV2UI_Write_Function write,
                                    LV2UI_Controller controller, LV2UI_Widget* widget,
                                    const LV2_Feature* const* features);
  static void UiCleanup(LV2UI_Handle ui);
  static void UiPortEvent(LV2UI_Handle ui, std::uint32_t port, std::uint32_t bufferSize,
                          std::uint32_t format, const void* buffer);
  static int UiIdleCall(LV2UI_Handle ui);
  static const void* UiExtensionData(const char* uri);
  static vst::intptr VST_CALLBACK HostCallback(vst::AEffect* effect, vst::int32 opcode,
                                               vst::int32 index, vst::intptr value, void* ptr,
                                               float opt);

  void Configure(double rate, const LV2_Feature* const* features);
  void ProcessBlock(std::uint32_t nFrames);
  void Bypass(std::uint32_t nFrames);
  void TakeControlPorts();
  void HandOverLoop();
  void StopHandOver();
  void UpdateConnections();
  // Instance lock held: a control port's value from any source reaches the plug-in
  // once, unless it is the echo of the editor's own edit.
  void OfferHostValue(int param, float value);
  void ApplyPublished();  // instance lock held
  void QueueHostWrite(HostWrite write);
  static double Now();
  void DeliverHostWrites();
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  vst::AEffect* effect_;
  IPlugVST* plug_;
  Lv2PortLayout layout_;
  std::vector<float*> ports_;
  std::vector<float*> hostIns_;   // the connected inputs' buffers, in channel order
  std::vector<float*> hostOuts_;  // the connected outputs' buffers
  // Audio thread (and restore, which never runs beside it).
  std::vector<float> lastSeen_;
  // Instance lock.
  std::vector<float> lastHost_;
  std::vector<Lv2EchoFilter> echoes_;
  bool editorOpen_ = false;
  bool uiAttached_ = false;
  Lv2UiHost ui_;
  std::vector<HostWrite> hostWrites_;
  // Control port values run has seen, for the hand-over thread.
  std::unique_ptr<std::atomic<float>[]> published_;
  std::unique_ptr<std::atomic<bool>[]> publishedDirty_;
  std::atomic<bool> anyPublished_{false};
  std::thread handOver_;
  std::mutex handOverMutex_;  // between the thread and cleanup only
  std::condition_variable handOverWake_;
  bool handOverQuit_ = false;
  std::atomic<std::int64_t> bypassed_{0};
  std::uint32_t chunkType_ = 0;  // URIDs; 0 when the host maps none
  std::uint32_t stateKey_ = 0;
};
