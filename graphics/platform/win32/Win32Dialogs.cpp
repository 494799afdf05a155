// The Win32 editor's dialogs and shell: colour chooser, file dialogs, opening a
// document or link.
#include <windows.h>
// After windows.h, which they build on.
#include <commdlg.h>
#include <wininet.h>

#include <cstring>

#include "graphics/platform/win32/IGraphicsLiceWin32.h"

namespace {

constexpr int kCustomColours = 16;
constexpr DWORD kFileBufferSize = 256;

// Puts the caller's title on the colour dialog.
UINT_PTR CALLBACK ColourHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    const auto* cc = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    const char* title = cc != nullptr ? reinterpret_cast<const char*>(cc->lCustData) : nullptr;
    if (title != nullptr) SetWindowTextA(dialog, title);
  }
  return 0;
}

}  // namespace

bool ShellTargetNeedsConnection(const char* target) {
  if (target == nullptr) return false;
  // "scheme://...": a link. A drive path ("C:\...") or a bare file name is a
  // document on this machine, which opens whether or not the network is up.
  const char* colon = std::strchr(target, ':');
  if (colon == nullptr || colon - target < 2 || std::strncmp(colon, "://", 3) != 0) return false;
  return std::strncmp(target, "file:", 5) != 0;
}

bool IGraphicsLiceWin32::PromptColor(IRgba& colour, const char* title) {
  if (window == nullptr) return false;
  if (customColours == nullptr) customColours = new unsigned long[kCustomColours]();
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = static_cast<HWND>(window);
  cc.rgbResult = RGB(colour.r, colour.g, colour.b);
  cc.lpCustColors = reinterpret_cast<COLORREF*>(customColours);
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  cc.lCustData = reinterpret_cast<LPARAM>(title);
  cc.lpfnHook = ColourHook;
  if (!ChooseColorA(&cc)) return false;
  colour.r = GetRValue(cc.rgbResult);
  colour.g = GetGValue(cc.rgbResult);
  colour.b = GetBValue(cc.rgbResult);
  return true;
}

void IGraphicsLiceWin32::PromptFile(std::string& out, int action, const char* folder, const char*) {
  out.clear();
  if (window == nullptr) return;
  std::string initial = folder != nullptr ? folder : "";
  if (initial.empty()) GetHostFolder(initial);
  char file[kFileBufferSize] = {};
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = static_cast<HWND>(window);
  ofn.lpstrFile = file;
  ofn.nMaxFile = kFileBufferSize;
  ofn.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  BOOL chosen = FALSE;
  if (action == 1) {
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    chosen = GetSaveFileNameA(&ofn);
  } else {
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameA(&ofn);
  }
  if (chosen) out = file;
}

bool IGraphicsLiceWin32::ShellOpen(const char* url, const char* title, const char* question,
                                   const char* errorText) {
  HWND owner = static_cast<HWND>(window);
  if (question != nullptr && MessageBoxA(owner, question, title, MB_YESNO) != IDYES) return false;
  DWORD connection = 0;
  const bool reachable =
      !ShellTargetNeedsConnection(url) || InternetGetConnectedState(&connection, 0);
  if (url != nullptr && url[0] != '\0' && reachable) {
    const HINSTANCE result = ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) > 32) return true;
  }
  if (errorText != nullptr) MessageBoxA(owner, errorText, title, MB_OK);
  return false;
}
