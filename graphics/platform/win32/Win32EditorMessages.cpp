// The editor window's message table. Every handled message returns 0.
#include "graphics/platform/win32/Win32EditorMessages.h"

#include <windowsx.h>

#include "graphics/IMouseFlags.h"
#include "graphics/platform/win32/IGraphicsLiceWin32.h"

namespace {

IGraphicsLiceWin32* HostOf(HWND hwnd) {
  return reinterpret_cast<IGraphicsLiceWin32*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

IMouseFlags MouseFlags(WPARAM wParam) {
  IMouseFlags mod;
  mod.left = (wParam & MK_LBUTTON) != 0;
  mod.right = (wParam & MK_RBUTTON) != 0;
  mod.shift = (wParam & MK_SHIFT) != 0;
  mod.ctrl = (wParam & MK_CONTROL) != 0;
  mod.alt = GetKeyState(VK_MENU) < 0;
  return mod;
}

IBox BoxOf(const RECT& r) { return IBox{r.left, r.top, r.right, r.bottom}; }

}  // namespace

LRESULT CALLBACK Win32EditorMessages::EditorProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                 LPARAM lParam) {
  if (msg == WM_CREATE) {
    auto* host =
        static_cast<IGraphicsLiceWin32*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    SetTimer(hwnd, IGraphicsLiceWin32::kTimerId, UINT(1000.0 / host->Fps()), nullptr);
    return 0;
  }
  IGraphicsLiceWin32* host = HostOf(hwnd);
  if (host == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The host application destroyed its frame, and this window with it, before
    // closing the editor: the editor learns it here, not from a dangling handle.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (host->window == hwnd) host->ForgetWindow();
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  if (host->window != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // A list entry reports a new selection to its parent, this window.
  if (msg == WM_COMMAND && host->entryWindow != nullptr &&
      LOWORD(wParam) == IGraphicsLiceWin32::kEntryControlId && HIWORD(wParam) == CBN_SELCHANGE) {
    host->entryState = IGraphicsLiceWin32::kEntryCommit;
    return 0;
  }
  if (host->entryWindow != nullptr && host->entryState == IGraphicsLiceWin32::kEntryFocused) {
    // While the entry has the keyboard focus the editor only listens for the
    // right click that cancels it: no painting, timer work or mouse handling.
    if (msg == WM_RBUTTONDOWN) {
      host->entryState = IGraphicsLiceWin32::kEntryCancel;
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  return Handle(*host, hwnd, msg, wParam, lParam);
}

LRESULT Win32EditorMessages::Handle(IGraphicsLiceWin32& host, HWND hwnd, UINT msg, WPARAM wParam,
                                    LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  switch (msg) {
    case WM_PAINT:
      Paint(host, hwnd);
      return 0;
    case WM_CLOSE:
      host.CloseEditorWindow();
      return 0;
    case WM_TIMER:
      if (wParam == IGraphicsLiceWin32::kTimerId) Timer(host, hwnd);
      return 0;
    case WM_MOUSEMOVE:
      if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
        if (GetCapture() == hwnd) host.MouseDrag(x, y, MouseFlags(wParam));
      } else if (host.MouseHover(x, y, MouseFlags(wParam))) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
      }
      return 0;
    case WM_RBUTTONDOWN:
      if (host.entryWindow != nullptr) {
        // A right click while the entry is open cancels it instead of pressing.
        host.entryState = IGraphicsLiceWin32::kEntryCancel;
        return 0;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      host.MouseDown(x, y, MouseFlags(wParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      // A release whose press this window did not take (it cancelled the entry,
      // or began elsewhere) ends no gesture: the host would see an end of edit
      // without its beginning.
      if (GetCapture() != hwnd) return 0;
      ReleaseCapture();
      host.MouseUp(x, y, MouseFlags(wParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      if (host.MouseDoubleClick(x, y, MouseFlags(wParam))) SetCapture(hwnd);
      return 0;
    case WM_MOUSEWHEEL: {
      // The wheel reports the pointer in screen coordinates.
      RECT r = {};
      GetWindowRect(hwnd, &r);
      const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      host.MouseWheel(x - r.left, y - r.top, MouseFlags(GET_KEYSTATE_WPARAM(wParam)), notches);
      return 0;
    }
    case WM_MOUSELEAVE:
      host.MouseLeave();
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

void Win32EditorMessages::Timer(IGraphicsLiceWin32& host, HWND hwnd) {
  if (host.entryWindow != nullptr && host.EntryStep()) return;
  IBox dirty;
  if (!host.CollectDirty(dirty)) return;
  const RECT r = {dirty.left, dirty.top, dirty.right, dirty.bottom};
  InvalidateRect(hwnd, &r, FALSE);
  UpdateWindow(hwnd);
  if (host.entryWindow != nullptr) host.entryState = IGraphicsLiceWin32::kEntryRefresh;
}

void Win32EditorMessages::Paint(IGraphicsLiceWin32& host, HWND hwnd) {
  RECT r = {};
  if (GetUpdateRect(hwnd, &r, FALSE) && !IsRectEmpty(&r)) host.DrawDirty(BoxOf(r));
  // An editor without controls presents nothing; the region is answered anyway,
  // or the window would be asked to paint again at once, for ever.
  ValidateRect(hwnd, nullptr);
}

LRESULT CALLBACK Win32EditorMessages::EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  IGraphicsLiceWin32* host = HostOf(hwnd);
  if (host == nullptr || host->entryWindow != hwnd || host->entryPrevProc == nullptr) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  const auto previous = reinterpret_cast<WNDPROC>(host->entryPrevProc);
  switch (msg) {
    case WM_SETFOCUS:
      // A commit or cancel already asked for stays asked for.
      if (host->entryState == IGraphicsLiceWin32::kEntryIdle ||
          host->entryState == IGraphicsLiceWin32::kEntryRefresh) {
        host->entryState = IGraphicsLiceWin32::kEntryFocused;
      }
      break;
    case WM_KILLFOCUS:
      if (host->entryState == IGraphicsLiceWin32::kEntryFocused) {
        host->entryState = IGraphicsLiceWin32::kEntryIdle;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        host->entryState = IGraphicsLiceWin32::kEntryCommit;
        return 0;
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == CBN_SELCHANGE) {
        host->entryState = IGraphicsLiceWin32::kEntryCommit;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
}
