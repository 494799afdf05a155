// An in-process LV2 host for tests: maps URIDs, offers options, owns every port's
// buffer, keeps a saved state, and plays the UI's host (write and touch functions).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "iplug/IPlugLV2.h"

class Lv2TestHost {
 public:
  struct Stored {
    std::uint32_t key;
    std::vector<std::uint8_t> bytes;
    std::uint32_t type;
    std::uint32_t flags;
  };
  struct Written {
    std::uint32_t port;
    float value;
  };
  struct Touched {
    std::uint32_t port;
    bool grabbed;
  };

  // mapUrids false leaves out urid:map (and with it the options).
  explicit Lv2TestHost(const LV2_Descriptor* descriptor, int maxBlock = 0, bool mapUrids = true);
  ~Lv2TestHost();

  LV2_Handle Instantiate(double rate = 48000.0);
  IPlugLV2* Instance() { return static_cast<IPlugLV2*>(handle_); }
  void Cleanup();

  // Gives every port a buffer of `frames` (audio) or one float (control), connected.
  void ConnectAll(int frames);
  void Disconnect(int port);
  void ConnectPort(int port, float* data);
  std::vector<float>& Audio(int port) { return audio_[port]; }
  float& Control(int port) { return control_[port]; }
  void Run(int frames);
  // run, then what the instance's hand-over thread would do next, at once.
  void RunAndHandOver(int frames);

  LV2_State_Status Save();
  LV2_State_Status Restore();
  std::vector<Stored> saved;
  std::uint32_t Map(const char* uri);

  // The UI side: instantiates the plug-in's UI with the given features. A UI made
  // before stays the one CleanupUi cleans up when this one fails.
  LV2UI_Handle InstantiateUi(bool withInstance = true, bool withParent = true);
  void CleanupUi();
  void* Widget() const { return widget_; }
  std::vector<Written> written;
  std::vector<Touched> touched;
  int resizedWidth = 0;
  int resizedHeight = 0;

 private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
  static LV2_State_Status Store(LV2_State_Handle handle, std::uint32_t key, const void* value,
                                std::size_t size, std::uint32_t type, std::uint32_t flags);
  static const void* Retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                              std::uint32_t* type, std::uint32_t* flags);
  static void Write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                    std::uint32_t protocol, const void* buffer);
  static void Touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed);
  static int Resize(LV2UI_Feature_Handle handle, int width, int height);

  const LV2_Descriptor* descriptor_;
  LV2_Handle handle_ = nullptr;
  std::map<std::string, std::uint32_t> urids_;
  LV2_URID_Map map_{this, &Lv2TestHost::MapUri};
  std::int32_t maxBlock_;
  std::vector<LV2_Options_Option> options_;
  LV2_Feature mapFeature_{};
  LV2_Feature optionsFeature_{};
  std::vector<const LV2_Feature*> features_;
  std::map<int, std::vector<float>> audio_;
  std::map<int, float> control_;

  LV2UI_Handle ui_ = nullptr;
  void* widget_ = nullptr;
  int parentWindow_ = 42;  // any address stands for the host's window
  LV2UI_Touch touch_{this, &Lv2TestHost::Touch};
  LV2UI_Resize resize_{this, &Lv2TestHost::Resize};
};
