// Value entry of the Win32 editor: an EDIT child for numbers, a COMBOBOX for
// parameters with display texts, stepped by the redraw timer.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/IWidget.h"
#include "graphics/ValueEntryText.h"
#include "graphics/platform/win32/IGraphicsLiceWin32.h"
#include "graphics/platform/win32/Win32EditorMessages.h"
#include "iplug/IPlugParam.h"

namespace {

// The entry field holds this many characters.
constexpr int kEntryTextSize = 32;

}  // namespace

std::string IGraphicsLiceWin32::EntryParamText() const {
  char text[IPlugParam::kTextSize] = {};
  if (entryParam != nullptr) entryParam->FormatForHost(text, sizeof text);
  return text;
}

void IGraphicsLiceWin32::PromptParamEdit(IWidget* control, IPlugParam* param) {
  if (control == nullptr || param == nullptr || entryWindow != nullptr || window == nullptr) return;
  entryParam = param;  // for the text below; cleared again if creation fails
  const IBox rect = control->Rect();
  const int cx = int(std::trunc((rect.left + rect.right) * 0.5));
  const int cy = int(std::trunc((rect.top + rect.bottom) * 0.5));
  const std::string text = EntryParamText();
  HWND parent = static_cast<HWND>(window);
  HINSTANCE instance = static_cast<HINSTANCE>(module);
  const int texts = param->ValueTextCount();
  HWND entry = nullptr;
  if (texts > 0) {
    int w = 24;
    for (int i = 0; i < texts; ++i)
      w = std::max(w, int(std::strlen(param->ValueTextAt(i))) * 8 + 24);
    const int h = texts * 36 + 36;
    entry = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, cx - w / 2,
                            cy, w, h, parent, reinterpret_cast<HMENU>(INT_PTR(kEntryControlId)),
                            instance, nullptr);
    if (entry != nullptr) {
      int selected = -1;
      for (int i = 0; i < texts; ++i) {
        SendMessageA(entry, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(param->ValueTextAt(i)));
        if (selected < 0 && text == param->ValueTextAt(i)) selected = i;
      }
      SendMessageA(entry, CB_SETCURSEL, WPARAM(selected), 0);
    }
  } else {
    entry = CreateWindowExA(
        0, "EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE, cx - 18, cy - 8,
        36, 16, parent, reinterpret_cast<HMENU>(INT_PTR(kEntryControlId)), instance, nullptr);
  }
  if (entry == nullptr) {
    entryParam = nullptr;
    return;
  }
  entryWindow = entry;
  entryControl = control;
  entryState = kEntryIdle;
  SetWindowLongPtrA(entry, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  entryPrevProc = reinterpret_cast<void*>(SetWindowLongPtrA(
      entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Win32EditorMessages::EntryProc)));
  HFONT font = CreateFontA(14, 0, 0, 0, 0, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "Arial");
  entryFont = font;  // owned: deleted when the entry closes
  if (font != nullptr) SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

bool IGraphicsLiceWin32::EntryStep() {
  HWND entry = static_cast<HWND>(entryWindow);
  switch (entryState) {
    case kEntryRefresh:
      SetWindowTextA(entry, EntryParamText().c_str());
      entryState = kEntryIdle;
      return true;
    case kEntryCommit: {
      char text[kEntryTextSize + 1] = {};
      SendMessageA(entry, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
      double normalized = 0.0;
      IWidget* control = entryControl;
      const bool valid = ValueEntryToNormalized(*entryParam, text, normalized);
      // Closed before the value goes out: the plug-in and the host may call back
      // into the editor while it is being set.
      CloseEntry();
      if (valid) control->SetValueFromUser(normalized);
      return true;
    }
    case kEntryCancel:
      CloseEntry();
      return true;
    default:
      return false;
  }
}

void IGraphicsLiceWin32::CloseEntry() {
  HWND entry = static_cast<HWND>(entryWindow);
  if (entry != nullptr) {
    SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryPrevProc));
    SetWindowLongPtrA(entry, GWLP_USERDATA, 0);
    DestroyWindow(entry);
  }
  // The font goes with the entry that used it.
  if (entryFont != nullptr) DeleteObject(static_cast<HGDIOBJ>(entryFont));
  entryWindow = nullptr;
  entryControl = nullptr;
  entryParam = nullptr;
  entryPrevProc = nullptr;
  entryFont = nullptr;
  entryState = kEntryIdle;
}
