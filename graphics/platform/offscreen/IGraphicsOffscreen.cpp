#include "graphics/platform/offscreen/IGraphicsOffscreen.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "graphics/IWidget.h"
#include "graphics/RasterLoadPng.h"
#include "graphics/RasterSavePng.h"
#include "graphics/ValueEntryText.h"
#include "graphics/platform/freetype/FreeTypeText.h"
#include "iplug/IPlugBase.h"
#include "iplug/IPlugParam.h"

extern char** environ;

namespace {

// Its address tells dladdr which shared object this code was linked into.
void PluginFolderAnchor() {}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsExecutable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Full path of program on the PATH, or empty.
std::string FindOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string dirs = path;
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(start, end - start);
    if (!dir.empty()) {
      const std::string candidate = dir + "/" + program;
      if (IsExecutable(candidate)) return candidate;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

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
  if (text == nullptr) return true;
  if (!fontChosen) {
    firstFont = font;
    fontChosen = true;
  }
  IFontSpec used = firstFont;
  used.colour = font.colour;
  used.align = font.align;
  return FreeTypeDrawText(drawSurface.get(), used, text, box, drawRect);
}

std::string IGraphicsOffscreen::ParamDisplayText() const {
  char text[IPlugParam::kTextSize] = {};
  if (entryParam != nullptr) entryParam->FormatForHost(text, sizeof text);
  return text;
}

void IGraphicsOffscreen::PromptParamEdit(IWidget* control, IPlugParam* param) {
  if (control == nullptr || param == nullptr || IsValueEntryOpen()) return;
  entryControl = control;
  entryParam = param;
  entryState = kEntryIdle;
  entryText = ParamDisplayText();
  entryItems.clear();
  for (int i = 0; i < param->ValueTextCount(); ++i) entryItems.emplace_back(param->ValueTextAt(i));
}

void IGraphicsOffscreen::FocusValueEntry(bool focused) {
  if (IsValueEntryOpen()) entryState = focused ? kEntryFocused : kEntryIdle;
}

bool IGraphicsOffscreen::TypeValueEntry(const char* text) {
  if (!IsValueEntryOpen() || text == nullptr) return false;
  entryText.assign(text, strnlen(text, 32));  // the field holds 32 characters
  entryState = kEntryCommit;
  return true;
}

bool IGraphicsOffscreen::PickValueEntryItem(int index) {
  if (!IsValueEntryOpen() || index < 0 || index >= int(entryItems.size())) return false;
  entryText = entryItems[size_t(index)];
  entryState = kEntryCommit;
  return true;
}

void IGraphicsOffscreen::CancelValueEntry() {
  if (IsValueEntryOpen()) entryState = kEntryCancel;
}

void IGraphicsOffscreen::CloseEntry() {
  entryControl = nullptr;
  entryParam = nullptr;
  entryState = kEntryIdle;
  entryText.clear();
  entryItems.clear();
}

void IGraphicsOffscreen::EntryStep() {
  if (entryState == kEntryRefresh) {
    entryText = ParamDisplayText();
    entryState = kEntryIdle;
  } else if (entryState == kEntryCommit) {
    double normalized = 0.0;
    if (ValueEntryToNormalized(*entryParam, entryText.c_str(), normalized)) {
      entryControl->SetValueFromUser(normalized);
    }
    CloseEntry();
  } else if (entryState == kEntryCancel) {
    CloseEntry();
  }
}

bool IGraphicsOffscreen::Tick() {
  // While the field has the keyboard focus the editor neither redraws nor steps.
  if (IsValueEntryOpen() && entryState == kEntryFocused) return false;
  if (IsValueEntryOpen() && entryState != kEntryIdle) {
    EntryStep();
    return false;
  }
  IBox r;
  if (!CollectDirty(r)) return false;
  DrawDirty(r);
  if (IsValueEntryOpen()) entryState = kEntryRefresh;
  return true;
}

void IGraphicsOffscreen::Press(int x, int y, IMouseFlags mod) {
  if (IsValueEntryOpen() && entryState == kEntryFocused && !mod.right) return;
  if (mod.right && IsValueEntryOpen()) {
    // A right click while the field is open cancels it instead of pressing.
    entryState = kEntryCancel;
    return;
  }
  buttonDown = true;
  MouseDown(x, y, mod);
}

void IGraphicsOffscreen::Release(int x, int y, IMouseFlags mod) {
  if (IsValueEntryOpen() && entryState == kEntryFocused) return;
  buttonDown = false;
  MouseUp(x, y, mod);
}

void IGraphicsOffscreen::Move(int x, int y, IMouseFlags mod) {
  if (IsValueEntryOpen() && entryState == kEntryFocused) return;
  if (mod.left || mod.right) {
    if (buttonDown) MouseDrag(x, y, mod);
  } else {
    MouseHover(x, y, mod);
  }
}

void IGraphicsOffscreen::DoubleClick(int x, int y, IMouseFlags mod) {
  if (IsValueEntryOpen() && entryState == kEntryFocused) return;
  if (MouseDoubleClick(x, y, mod)) buttonDown = true;
}

void IGraphicsOffscreen::Wheel(int x, int y, IMouseFlags mod, int delta) {
  if (IsValueEntryOpen() && entryState == kEntryFocused) return;
  MouseWheel(x, y, mod, delta / 120);
}

void IGraphicsOffscreen::Leave() {
  if (IsValueEntryOpen() && entryState == kEntryFocused) return;
  MouseLeave();
}

void IGraphicsOffscreen::GetHostFolder(std::string& out) {
  out.clear();
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return;
  out = FolderOf(std::string(path, size_t(n)));
}

void IGraphicsOffscreen::GetPluginFolder(std::string& out) {
  out.clear();
  Dl_info info{};
  // Any function of this module: dladdr names the shared object it lives in.
  if (dladdr(reinterpret_cast<void*>(&PluginFolderAnchor), &info) == 0 || info.dli_fname == nullptr)
    return;
  char resolved[4096];
  if (realpath(info.dli_fname, resolved) == nullptr) return;
  out = FolderOf(resolved);
}

void IGraphicsOffscreen::PromptFile(std::string& out, int, const char*, const char*) {
  out.clear();
}

bool IGraphicsOffscreen::PromptColor(IRgba&, const char*) { return false; }

bool IGraphicsOffscreen::ShellOpen(const char* url, const char*, const char* question,
                                   const char*) {
  if (url == nullptr || url[0] == '\0' || question != nullptr) return false;
  const std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  char* argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(url), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, opener.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  // The opener may take a while to hand over; reap it without holding up the editor.
  std::thread([pid] {
    int status = 0;
    waitpid(pid, &status, 0);
  }).detach();
  return true;
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

void* IGraphicsOffscreen::GetEditorWindow() { return windowOpen ? this : nullptr; }

RasterBitmap* IGraphicsOffscreen::LoadImageResource(int id, const char*) {
  return RasterLoadPng(nullptr, id, nullptr);
}

bool IGraphicsOffscreen::WritePng(const char* path) {
  return RasterSavePng(drawSurface.get(), path);
}
