#include "graphics/platform/offscreen/IGraphicsOffscreen.h"

#include <cstdlib>
#include <cstring>

#include "graphics/IWidget.h"
#include "graphics/RasterLoadPng.h"
#include "graphics/RasterSavePng.h"
#include "graphics/ValueEntryText.h"
#include "graphics/platform/freetype/FreeTypeText.h"
#include "graphics/platform/posix/PosixFolders.h"
#include "graphics/platform/posix/PosixShellOpen.h"
#include "iplug/IPlugBase.h"
#include "iplug/IPlugParam.h"

IGraphicsOffscreen::IGraphicsOffscreen(IPlugBase* plugin, int width, int height, int fps)
    : IGraphicsLice(plugin, width, height, fps) {}

IGraphicsOffscreen::~IGraphicsOffscreen() { CloseEditorWindow(); }

bool IGraphicsOffscreen::PresentRect(IBox r) {
  presented = IBoxUnion(presented, r);
  ++presentCount;
  return true;
}

IBox IGraphicsOffscreen::TakePresented() {
  const IBox r = presented;
  presented = IBox{};
  return r;
}

bool IGraphicsOffscreen::PaintText(const IFontSpec& font, const char* text, IBox box) {
  return text_.Draw(drawSurface.get(), font, text, box, drawRect);
}

IBox IGraphicsOffscreen::TextBounds(const IFontSpec& font, const char* text, IBox box) {
  return text_.Bounds(font, text, box);
}

std::string IGraphicsOffscreen::ParamDisplayText(const IPlugParam* param) const {
  char text[IPlugParam::kTextSize] = {};
  if (param == nullptr) return text;
  // Host threads change parameter values under the instance lock.
  if (IPlugBase* owner = Plugin()) {
    ILockGuard hold(owner->Lock());
    param->FormatForHost(text, sizeof text);
  } else {
    param->FormatForHost(text, sizeof text);
  }
  return text;
}

bool IGraphicsOffscreen::IsValueEntryOpen() const {
  ILockGuard hold(entryLock);
  return entryControl != nullptr;
}

std::string IGraphicsOffscreen::ValueEntryText() const {
  ILockGuard hold(entryLock);
  return entryText;
}

std::vector<std::string> IGraphicsOffscreen::ValueEntryItems() const {
  ILockGuard hold(entryLock);
  return entryItems;
}

int IGraphicsOffscreen::ValueEntryState() const {
  ILockGuard hold(entryLock);
  return entryState;
}

void IGraphicsOffscreen::PromptParamEdit(IWidget* control, IPlugParam* param) {
  if (control == nullptr || param == nullptr || IsValueEntryOpen()) return;
  const std::string shown = ParamDisplayText(param);
  std::vector<std::string> items;
  for (int i = 0; i < param->ValueTextCount(); ++i) items.emplace_back(param->ValueTextAt(i));
  ILockGuard hold(entryLock);
  if (entryControl != nullptr) return;
  entryControl = control;
  entryParam = param;
  entryState = kEntryIdle;
  entryText = shown;
  entryItems = std::move(items);
}

void IGraphicsOffscreen::FocusValueEntry(bool focused) {
  ILockGuard hold(entryLock);
  if (entryControl != nullptr) entryState = focused ? kEntryFocused : kEntryIdle;
}

bool IGraphicsOffscreen::TypeValueEntry(const char* text) {
  ILockGuard hold(entryLock);
  if (entryControl == nullptr || text == nullptr) return false;
  entryText.assign(text, strnlen(text, 32));  // the field holds 32 characters
  entryState = kEntryCommit;
  return true;
}

bool IGraphicsOffscreen::PickValueEntryItem(int index) {
  ILockGuard hold(entryLock);
  if (entryControl == nullptr || index < 0 || index >= int(entryItems.size())) return false;
  entryText = entryItems[size_t(index)];
  entryState = kEntryCommit;
  return true;
}

void IGraphicsOffscreen::CancelValueEntry() {
  ILockGuard hold(entryLock);
  if (entryControl != nullptr) entryState = kEntryCancel;
}

void IGraphicsOffscreen::CloseEntry() {
  ILockGuard hold(entryLock);
  entryControl = nullptr;
  entryParam = nullptr;
  entryState = kEntryIdle;
  entryText.clear();
  entryItems.clear();
}

bool IGraphicsOffscreen::EntryBlocksInput() const {
  ILockGuard hold(entryLock);
  return entryControl != nullptr && entryState == kEntryFocused;
}

// The entry lock is held for the entry's own fields only: the steps that reach
// the plug-in run without it, since the plug-in's lock must come first.
void IGraphicsOffscreen::EntryStep() {
  IWidget* control = nullptr;
  IPlugParam* param = nullptr;
  std::string typed;
  int state = kEntryIdle;
  {
    ILockGuard hold(entryLock);
    control = entryControl;
    param = entryParam;
    typed = entryText;
    state = entryState;
  }
  if (control == nullptr) return;
  if (state == kEntryRefresh) {
    const std::string shown = ParamDisplayText(param);
    ILockGuard hold(entryLock);
    if (entryControl == control && entryState == kEntryRefresh) {
      entryText = shown;
      entryState = kEntryIdle;
    }
  } else if (state == kEntryCommit) {
    CloseEntry();
    double normalized = 0.0;
    if (ValueEntryToNormalized(*param, typed.c_str(), normalized)) {
      control->SetValueFromUser(normalized);
    }
  } else if (state == kEntryCancel) {
    CloseEntry();
  }
}

bool IGraphicsOffscreen::Tick() {
  // While the field has the keyboard focus the editor neither redraws nor steps.
  const int state = ValueEntryState();
  const bool entryOpen = IsValueEntryOpen();
  if (entryOpen && state == kEntryFocused) return false;
  if (entryOpen && state != kEntryIdle) {
    EntryStep();
    return false;
  }
  IBox r;
  if (!CollectDirty(r)) return false;
  DrawDirty(r);
  ILockGuard hold(entryLock);
  if (entryControl != nullptr && entryState == kEntryIdle) entryState = kEntryRefresh;
  return true;
}

void IGraphicsOffscreen::Press(int x, int y, IMouseFlags mod) {
  {
    ILockGuard hold(entryLock);
    if (entryControl != nullptr && entryState == kEntryFocused && !mod.right) return;
    if (mod.right && entryControl != nullptr) {
      // A right click while the field is open cancels it instead of pressing.
      entryState = kEntryCancel;
      return;
    }
  }
  buttonDown = true;
  MouseDown(x, y, mod);
}

void IGraphicsOffscreen::Release(int x, int y, IMouseFlags mod) {
  if (EntryBlocksInput()) return;
  buttonDown = false;
  MouseUp(x, y, mod);
}

void IGraphicsOffscreen::Move(int x, int y, IMouseFlags mod) {
  if (EntryBlocksInput()) return;
  if (mod.left || mod.right) {
    if (buttonDown) MouseDrag(x, y, mod);
  } else {
    MouseHover(x, y, mod);
  }
}

void IGraphicsOffscreen::DoubleClick(int x, int y, IMouseFlags mod) {
  if (EntryBlocksInput()) return;
  if (MouseDoubleClick(x, y, mod)) buttonDown = true;
}

void IGraphicsOffscreen::Wheel(int x, int y, IMouseFlags mod, int delta) {
  if (EntryBlocksInput()) return;
  MouseWheel(x, y, mod, delta / 120);
}

void IGraphicsOffscreen::Leave() {
  if (EntryBlocksInput()) return;
  MouseLeave();
}

void IGraphicsOffscreen::GetHostFolder(std::string& out) { PosixHostFolder(out); }

void IGraphicsOffscreen::GetPluginFolder(std::string& out) { PosixPluginFolder(out); }

void IGraphicsOffscreen::PromptFile(std::string& out, int, const char*, const char*) {
  out.clear();
}

bool IGraphicsOffscreen::PromptColor(IRgba&, const char*) { return false; }

bool IGraphicsOffscreen::ShellOpen(const char* url, const char*, const char* question,
                                   const char*) {
  // With a question there is no one to answer it, so nothing is opened.
  if (question != nullptr) return false;
  return PosixShellOpen(url);
}

void* IGraphicsOffscreen::OpenEditorWindow(void* parent) {
  if (parent != nullptr) return nullptr;
  windowOpen = true;
  MarkAllDirty();
  return this;
}

void IGraphicsOffscreen::CloseEditorWindow() {
  windowOpen = false;
  CloseEntry();
}

void* IGraphicsOffscreen::GetEditorWindow() { return windowOpen.load() ? this : nullptr; }

RasterBitmap* IGraphicsOffscreen::LoadImageResource(int id, const char*) {
  return RasterLoadPng(nullptr, id, nullptr);
}

bool IGraphicsOffscreen::WritePng(const char* path) {
  return RasterSavePng(drawSurface.get(), path);
}
