#include "graphics/platform/win32/IGraphicsLiceWin32.h"

#include <windows.h>

#include "graphics/RasterLoadPng.h"
#include "graphics/platform/win32/Win32EditorMessages.h"
#include "graphics/platform/win32/Win32Text.h"
#include "graphics/platform/win32/Win32WindowClass.h"
#include "iplug/Trace.h"

namespace {

HINSTANCE Instance(void* module) { return static_cast<HINSTANCE>(module); }

// Everything up to and including the last backslash of a module's file name.
void ModuleFolder(HMODULE module, std::string& out) {
  out.clear();
  char name[256] = {};
  const DWORD n = GetModuleFileNameA(module, name, sizeof name);
  if (n == 0 || n >= sizeof name) return;
  const std::string path(name, n);
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos) out = path.substr(0, slash + 1);
}

SIZE WindowSize(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// A window the host placed inside another of its windows (not an MDI child).
bool IsPlainChild(HWND hwnd) {
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
  return (style & WS_CHILD) != 0 && (exStyle & WS_EX_MDICHILD) == 0;
}

void Grow(HWND hwnd, int dw, int dh) {
  const SIZE size = WindowSize(hwnd);
  SetWindowPos(hwnd, nullptr, 0, 0, size.cx + dw, size.cy + dh,
               SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
}

}  // namespace

IGraphicsLiceWin32::IGraphicsLiceWin32(IPlugBase* plugin, int width, int height, int fps,
                                       void* module)
    : IGraphicsLice(plugin, width, height, fps), module(module) {}

IGraphicsLiceWin32::~IGraphicsLiceWin32() {
  CloseEditorWindow();
  ReleaseTextFont();
  delete[] customColours;
  // A class left registered by a window its host destroyed goes with the last host.
  if (win32::EditorClassUsers() == 0) UnregisterClassA(kWindowClassName, Instance(module));
}

int IGraphicsLiceWin32::OpenWindowCount() { return win32::EditorClassUsers(); }

void* IGraphicsLiceWin32::OpenEditorWindow(void* parent) {
  int x = 0, y = 0, w = width, h = height;
  if (window != nullptr) {
    // Opening again: the new window takes the old one's place and size.
    HWND old = static_cast<HWND>(window);
    RECT r = {};
    GetWindowRect(old, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(old), reinterpret_cast<POINT*>(&r), 2);
    x = r.left;
    y = r.top;
    w = r.right - r.left;
    h = r.bottom - r.top;
    CloseEditorWindow();
  }
  if (!win32::AcquireEditorClass(Instance(module), Win32EditorMessages::EditorProc,
                                 kWindowClassName)) {
    return nullptr;
  }
  HWND hwnd = CreateWindowExA(0, kWindowClassName, "IPlug", WS_CHILD | WS_VISIBLE, x, y, w, h,
                              static_cast<HWND>(parent), nullptr, Instance(module), this);
  TRACE_CALL("IGraphicsLiceWin32::OpenEditorWindow", "%p:%p", parent, static_cast<void*>(hwnd));
  if (hwnd == nullptr) {
    win32::ReleaseEditorClass(Instance(module), kWindowClassName);
    return nullptr;
  }
  window = hwnd;
  MarkAllDirty();
  return window;
}

void IGraphicsLiceWin32::CloseEditorWindow() {
  if (window == nullptr) return;
  HWND hwnd = static_cast<HWND>(window);
  TRACE_CALL("IGraphicsLiceWin32::CloseEditorWindow", "%p", window);
  CloseEntry();
  // The window forgets its host first: no message reaches this object once the
  // window is on its way out, whatever the host application does meanwhile.
  KillTimer(hwnd, kTimerId);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  closing = true;
  DestroyWindow(hwnd);
  closing = false;
  ForgetWindow();
}

void IGraphicsLiceWin32::ForgetWindow() {
  if (window == nullptr) return;
  // An entry destroyed with its parent: drop what it edited and its font.
  CloseEntry();
  window = nullptr;
  win32::ReleaseEditorClass(Instance(module), kWindowClassName);
}

bool IGraphicsLiceWin32::PresentRect(IBox r) {
  if (window == nullptr || drawSurface == nullptr) return true;
  HWND hwnd = static_cast<HWND>(window);
  PAINTSTRUCT ps = {};
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc != nullptr) {
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top,
           static_cast<HDC>(drawSurface->GetDC()), r.left, r.top, SRCCOPY);
  }
  EndPaint(hwnd, &ps);
  return true;
}

bool IGraphicsLiceWin32::PaintText(const IFontSpec& font, const char* text, IBox box) {
  if (text == nullptr) return true;
  if (drawSurface == nullptr || drawSurface->GetDC() == nullptr) return false;
  HDC dc = static_cast<HDC>(drawSurface->GetDC());
  const COLORREF colour = RGB(font.colour.r, font.colour.g, font.colour.b);
  if (!fontSelected) {
    // The first font stays for the life of the host: face, size, style and
    // orientation of later calls do not change it.
    HFONT created = static_cast<HFONT>(win32::CreateTextFont(font));
    if (created != nullptr) {
      textFont = created;
      previousFont = SelectObject(dc, created);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    textColour = font.colour;
    fontSelected = true;
  } else if (!(font.colour == textColour)) {
    SetTextColor(dc, colour);
    textColour = font.colour;
  }
  UINT format = DT_NOCLIP;
  if (font.align == IALIGN_CENTER) format |= DT_CENTER;
  if (font.align == IALIGN_RIGHT) format |= DT_RIGHT;
  RECT r = {box.left, box.top, box.right, box.bottom};
  const int drawn = DrawTextA(dc, text, int(lstrlenA(text)), &r, format);
  // The raster routines write the same pixels directly: GDI must be done first.
  GdiFlush();
  return drawn != 0;
}

IBox IGraphicsLiceWin32::TextBounds(const IFontSpec& font, const char* text, IBox box) {
  if (text == nullptr || text[0] == '\0') return IBox{};
  HDC dc = drawSurface != nullptr ? static_cast<HDC>(drawSurface->GetDC()) : nullptr;
  if (dc == nullptr) return IGraphicsLice::TextBounds(font, text, box);
  if (fontSelected) return win32::PlaceInk(dc, inkCache.Ink(dc, text), text, font.align, box);
  // Nothing drawn yet: measure with the font the first text would make, without
  // keeping it (the first PaintText chooses the font for good).
  HGDIOBJ measuring = win32::CreateTextFont(font);
  if (measuring == nullptr) return IGraphicsLice::TextBounds(font, text, box);
  HGDIOBJ previous = SelectObject(dc, measuring);
  const IBox ink = win32::PlaceInk(dc, win32::DrawnInk(dc, text), text, font.align, box);
  SelectObject(dc, previous);
  DeleteObject(measuring);
  return ink;
}

void IGraphicsLiceWin32::ReleaseTextFont() {
  if (textFont == nullptr) return;
  if (drawSurface != nullptr && drawSurface->GetDC() != nullptr && previousFont != nullptr) {
    SelectObject(static_cast<HDC>(drawSurface->GetDC()), static_cast<HGDIOBJ>(previousFont));
  }
  DeleteObject(static_cast<HGDIOBJ>(textFont));
  inkCache.Clear();
  textFont = nullptr;
  previousFont = nullptr;
  fontSelected = false;
}

void IGraphicsLiceWin32::GetHostFolder(std::string& out) { ModuleFolder(nullptr, out); }

void IGraphicsLiceWin32::GetPluginFolder(std::string& out) {
  ModuleFolder(static_cast<HMODULE>(module), out);
}

RasterBitmap* IGraphicsLiceWin32::LoadImageResource(int id, const char*) {
  return RasterLoadPng(module, id, nullptr);
}

void IGraphicsLiceWin32::Resize(int w, int h) {
  const int oldWidth = width, oldHeight = height;
  IGraphicsLice::Resize(w, h);
  if (window == nullptr) return;
  HWND hwnd = static_cast<HWND>(window);
  const SIZE old = WindowSize(hwnd);
  const int dw = w - oldWidth, dh = h - oldHeight;
  Grow(hwnd, dw, dh);
  // The host's frames around the editor grow with it, as far as they are plain
  // child windows themselves.
  if (IsPlainChild(hwnd)) {
    HWND parent = GetParent(hwnd);
    if (parent != nullptr) {
      Grow(parent, dw, dh);
      if (IsPlainChild(parent) && GetParent(parent) != nullptr) Grow(GetParent(parent), dw, dh);
    }
  }
  const RECT dirty = {0, 0, old.cx, old.cy};
  InvalidateRect(hwnd, &dirty, FALSE);
}
