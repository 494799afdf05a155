#include "tests/lv2/Lv2TestHost.h"

#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/instance-access/instance-access.h>

Lv2TestHost::Lv2TestHost(const LV2_Descriptor* descriptor, int maxBlock, bool mapUrids)
    : descriptor_(descriptor), maxBlock_(maxBlock) {
  if (!mapUrids) return;
  mapFeature_ = {LV2_URID__map, &map_};
  features_.push_back(&mapFeature_);
  if (maxBlock > 0) {
    options_.push_back({LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__maxBlockLength),
                        sizeof(std::int32_t), Map(LV2_ATOM__Int), &maxBlock_});
  }
  options_.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
  optionsFeature_ = {LV2_OPTIONS__options, options_.data()};
  features_.push_back(&optionsFeature_);
}

Lv2TestHost::~Lv2TestHost() { Cleanup(); }

std::uint32_t Lv2TestHost::Map(const char* uri) {
  auto found = urids_.find(uri);
  if (found != urids_.end()) return found->second;
  const auto id = static_cast<std::uint32_t>(urids_.size() + 1);
  urids_[uri] = id;
  return id;
}

LV2_URID Lv2TestHost::MapUri(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<Lv2TestHost*>(handle)->Map(uri);
}

LV2_Handle Lv2TestHost::Instantiate(double rate) {
  std::vector<const LV2_Feature*> features = features_;
  features.push_back(nullptr);
  handle_ = descriptor_->instantiate(descriptor_, rate, "/nowhere/", features.data());
  return handle_;
}

void Lv2TestHost::Cleanup() {
  CleanupUi();
  if (handle_ == nullptr) return;
  descriptor_->cleanup(handle_);
  handle_ = nullptr;
}

void Lv2TestHost::ConnectAll(int frames) {
  const Lv2PortLayout& layout = Instance()->Layout();
  for (int port = 0; port < layout.PortCount(); ++port) {
    if (layout.ParamOfPort(port) >= 0) {
      const int param = layout.ParamOfPort(port);
      control_[port] = static_cast<float>(Instance()->Plug()->Param(param)->Value());
      ConnectPort(port, &control_[port]);
    } else {
      audio_[port].assign(static_cast<std::size_t>(frames), 0.0f);
      ConnectPort(port, audio_[port].data());
    }
  }
}

void Lv2TestHost::Disconnect(int port) { ConnectPort(port, nullptr); }

void Lv2TestHost::ConnectPort(int port, float* data) {
  descriptor_->connect_port(handle_, static_cast<std::uint32_t>(port), data);
}

void Lv2TestHost::Run(int frames) { descriptor_->run(handle_, static_cast<std::uint32_t>(frames)); }

void Lv2TestHost::RunAndHandOver(int frames) {
  Run(frames);
  Instance()->HandOverHostValues();
}

LV2_State_Status Lv2TestHost::Store(LV2_State_Handle handle, std::uint32_t key, const void* value,
                                    std::size_t size, std::uint32_t type, std::uint32_t flags) {
  auto* host = static_cast<Lv2TestHost*>(handle);
  const auto* bytes = static_cast<const std::uint8_t*>(value);
  host->saved.push_back({key, std::vector<std::uint8_t>(bytes, bytes + size), type, flags});
  return LV2_STATE_SUCCESS;
}

const void* Lv2TestHost::Retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                                  std::uint32_t* type, std::uint32_t* flags) {
  auto* host = static_cast<Lv2TestHost*>(handle);
  for (const Stored& s : host->saved) {
    if (s.key != key) continue;
    *size = s.bytes.size();
    *type = s.type;
    *flags = s.flags;
    return s.bytes.data();
  }
  return nullptr;
}

LV2_State_Status Lv2TestHost::Save() {
  const auto* state =
      static_cast<const LV2_State_Interface*>(descriptor_->extension_data(LV2_STATE__interface));
  saved.clear();
  return state->save(handle_, &Lv2TestHost::Store, this, 0, nullptr);
}

LV2_State_Status Lv2TestHost::Restore() {
  const auto* state =
      static_cast<const LV2_State_Interface*>(descriptor_->extension_data(LV2_STATE__interface));
  return state->restore(handle_, &Lv2TestHost::Retrieve, this, 0, nullptr);
}

void Lv2TestHost::Write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                        std::uint32_t protocol, const void* buffer) {
  auto* host = static_cast<Lv2TestHost*>(controller);
  if (size == sizeof(float) && protocol == 0) {
    host->written.push_back({port, *static_cast<const float*>(buffer)});
  }
}

void Lv2TestHost::Touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
  static_cast<Lv2TestHost*>(handle)->touched.push_back({port, grabbed});
}

int Lv2TestHost::Resize(LV2UI_Feature_Handle handle, int width, int height) {
  auto* host = static_cast<Lv2TestHost*>(handle);
  host->resizedWidth = width;
  host->resizedHeight = height;
  return 0;
}

LV2UI_Handle Lv2TestHost::InstantiateUi(bool withInstance, bool withParent) {
  const LV2UI_Descriptor* ui = IPlugLV2::UiDescriptor(nullptr, nullptr);
  LV2_Feature instance{LV2_INSTANCE_ACCESS_URI, handle_};
  LV2_Feature parent{LV2_UI__parent, &parentWindow_};
  LV2_Feature touch{LV2_UI__touch, &touch_};
  LV2_Feature resize{LV2_UI__resize, &resize_};
  std::vector<const LV2_Feature*> features = {&touch, &resize};
  if (withInstance) features.push_back(&instance);
  if (withParent) features.push_back(&parent);
  features.push_back(nullptr);
  LV2UI_Handle made = ui->instantiate(ui, descriptor_->URI, "/nowhere/", &Lv2TestHost::Write, this,
                                      &widget_, features.data());
  if (made != nullptr) ui_ = made;
  return made;
}

void Lv2TestHost::CleanupUi() {
  if (ui_ == nullptr) return;
  IPlugLV2::UiDescriptor(nullptr, nullptr)->cleanup(ui_);
  ui_ = nullptr;
}
