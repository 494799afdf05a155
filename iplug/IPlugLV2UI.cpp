// IPlugLV2: the plug-in's editor as an LV2 UI (ui:X11UI).
//
// The editor belongs to the running plug-in (its display reads the plug-in's
// captured samples), so the UI needs the instance itself (instance-access) and the
// host's window to live in (ui:parent); both are required. The UI's handle is the
// instance. Every call arrives on the host's UI thread.
#include <cstring>

#include <lv2/instance-access/instance-access.h>

#include "iplug/IPlugLV2.h"

const LV2UI_Descriptor* IPlugLV2::UiDescriptor(const char* uri, VstEntryFunction entry) {
  static const LV2UI_Descriptor descriptor = {
      RegisterModule(uri, entry).uiUri.c_str(),
      &IPlugLV2::UiInstantiate,
      &IPlugLV2::UiCleanup,
      &IPlugLV2::UiPortEvent,
      &IPlugLV2::UiExtensionData,
  };
  return &descriptor;
}

const void* IPlugLV2::UiExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface idle = {&IPlugLV2::UiIdleCall};
  if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idle;
  return nullptr;
}

LV2UI_Handle IPlugLV2::UiInstantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                                     LV2UI_Write_Function write, LV2UI_Controller controller,
                                     LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (pluginUri == nullptr || TheModule().uri != pluginUri || widget == nullptr) return nullptr;
  IPlugLV2* self = nullptr;
  void* parent = nullptr;
  const LV2UI_Resize* resize = nullptr;
  const LV2UI_Touch* touch = nullptr;
  for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
    const char* uri = features[i]->URI;
    void* data = features[i]->data;
    if (std::strcmp(uri, LV2_INSTANCE_ACCESS_URI) == 0) {
      self = static_cast<IPlugLV2*>(data);
    } else if (std::strcmp(uri, LV2_UI__parent) == 0) {
      parent = data;
    } else if (std::strcmp(uri, LV2_UI__resize) == 0) {
      resize = static_cast<const LV2UI_Resize*>(data);
    } else if (std::strcmp(uri, LV2_UI__touch) == 0) {
      touch = static_cast<const LV2UI_Touch*>(data);
    }
  }
  if (self == nullptr || parent == nullptr) return nullptr;
  if (!self->AttachUi({write, controller, touch})) return nullptr;
  void* window = self->OpenEditor(parent);
  if (window == nullptr) {
    self->DetachUi();
    return nullptr;
  }
  *widget = window;
  IGraphicsInterface* graphics = self->plug_->Graphics();
  if (resize != nullptr && resize->ui_resize != nullptr) {
    resize->ui_resize(resize->handle, graphics->Width(), graphics->Height());
  }
  return self;
}

void IPlugLV2::UiCleanup(LV2UI_Handle ui) {
  auto* self = static_cast<IPlugLV2*>(ui);
  self->CloseEditor();
  self->DetachUi();
}

void IPlugLV2::UiPortEvent(LV2UI_Handle ui, std::uint32_t port, std::uint32_t bufferSize,
                           std::uint32_t format, const void* buffer) {
  // Format 0 is a control port's float; the editor has no use for other events.
  if (format != 0 || bufferSize != sizeof(float) || buffer == nullptr) return;
  static_cast<IPlugLV2*>(ui)->PortEvent(static_cast<int>(port), *static_cast<const float*>(buffer));
}

int IPlugLV2::UiIdleCall(LV2UI_Handle ui) {
  static_cast<IPlugLV2*>(ui)->UiIdle();
  return 0;
}

bool IPlugLV2::AttachUi(const Lv2UiHost& host) {
  ILockGuard hold(plug_->Lock());
  if (uiAttached_) return false;
  ui_ = host;
  uiAttached_ = true;
  return true;
}

void IPlugLV2::DetachUi() {
  ILockGuard hold(plug_->Lock());
  uiAttached_ = false;
  ui_ = Lv2UiHost{};
  hostWrites_.clear();
}

void* IPlugLV2::OpenEditor(void* parent) {
  ILockGuard hold(plug_->Lock());
  IGraphicsInterface* graphics = plug_->Graphics();
  if (graphics == nullptr || editorOpen_) return nullptr;
  void* window = graphics->OpenEditorWindow(parent);
  if (window == nullptr) return nullptr;
  plug_->EditorOpened();
  editorOpen_ = true;
  return window;
}

void IPlugLV2::CloseEditor() {
  ILockGuard hold(plug_->Lock());
  if (!editorOpen_) return;
  plug_->EditorClosed();
  plug_->Graphics()->CloseEditorWindow();
  editorOpen_ = false;
}
