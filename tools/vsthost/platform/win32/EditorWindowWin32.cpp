// The edit command's window on Windows: a captioned top-level window, input
// through SendInput (the system's own input queue), pixels read back with BitBlt.
#include <windows.h>

#include <algorithm>

#include "tools/vsthost/EditorWindow.h"

namespace vsthost {

namespace {

constexpr const char* kClassName = "VstHostEditorFrame";
constexpr int kScreenX = 40, kScreenY = 40;

using inputscript::Button;
using inputscript::EventKind;
using inputscript::InputEvent;
using inputscript::Key;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEWHEEL: {
      // Like Windows 10 and most hosts: the wheel scrolls the window under the
      // pointer, not only the one with the keyboard focus.
      POINT at = {short(LOWORD(lParam)), short(HIWORD(lParam))};
      HWND target = WindowFromPoint(at);
      if (target != nullptr && target != hwnd && IsChild(hwnd, target)) {
        return SendMessageA(target, msg, wParam, lParam);
      }
      break;
    }
    case WM_CLOSE:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 1);  // closed
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

WORD VirtualKey(Key key) {
  switch (key) {
    case Key::kReturn:
      return VK_RETURN;
    case Key::kEscape:
      return VK_ESCAPE;
    case Key::kTab:
      return VK_TAB;
    case Key::kBackspace:
      return VK_BACK;
    case Key::kDelete:
      return VK_DELETE;
    case Key::kLeft:
      return VK_LEFT;
    case Key::kRight:
      return VK_RIGHT;
    case Key::kUp:
      return VK_UP;
    case Key::kDown:
      return VK_DOWN;
    case Key::kHome:
      return VK_HOME;
    case Key::kEnd:
      return VK_END;
  }
  return 0;
}

INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = scan;
  in.ki.dwFlags = flags;
  return in;
}

class EditorWindowWin32 : public EditorWindow {
 public:
  explicit EditorWindowWin32(HWND hwnd) : hwnd_(hwnd) {}
  ~EditorWindowWin32() override { DestroyWindow(hwnd_); }

  void* NativeHandle() override { return hwnd_; }

  void Pump(double seconds) override {
    const DWORD end = Deadline(seconds);
    do {
      DispatchPending();
    } while (WaitUntil(end));
  }

  bool Settle(int ticks, double seconds) override {
    const DWORD end = Deadline(seconds);
    // The input sent so far is handled once none of it waits in the queue.
    DispatchPending();
    while (HIWORD(GetQueueStatus(QS_INPUT)) != 0) {
      if (!WaitUntil(end)) return false;
      DispatchPending();
    }
    if (ticks <= 0 || timerless_) return true;
    // Timer messages come only once nothing else is queued: each one counted from
    // here on found the input's effects in place, and its redraw is painted before
    // the next message is taken.
    const long target = ticks_ + ticks;
    const DWORD tickEnd = ticks_ > 0 ? end : std::min(end, Deadline(kFirstTickWait), Earlier);
    while (ticks_ < target) {
      if (!WaitUntil(tickEnd)) break;
      DispatchPending();
    }
    if (ticks_ == 0) timerless_ = true;  // an editor without a timer of its own
    DispatchPending();
    return ticks_ >= target || timerless_;
  }

  bool Deliver(const InputEvent& e, std::string& error) override {
    INPUT in[2] = {};
    UINT count = 0;
    switch (e.kind) {
      case EventKind::kMove:
        in[count++] = Mouse(e, MOUSEEVENTF_MOVE, 0);
        break;
      case EventKind::kPress:
      case EventKind::kSecondPress:
        in[count++] =
            Mouse(e, e.button == Button::kRight ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, 0);
        break;
      case EventKind::kRelease:
        in[count++] =
            Mouse(e, e.button == Button::kRight ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, 0);
        break;
      case EventKind::kWheel:
        in[count++] = Mouse(e, MOUSEEVENTF_WHEEL, DWORD(e.wheelDelta));
        break;
      case EventKind::kKey:
        in[count++] = KeyInput(VirtualKey(e.key), 0, 0);
        in[count++] = KeyInput(VirtualKey(e.key), 0, KEYEVENTF_KEYUP);
        break;
      case EventKind::kChar:
        in[count++] = KeyInput(0, WORD(static_cast<unsigned char>(e.ch)), KEYEVENTF_UNICODE);
        in[count++] = KeyInput(0, WORD(static_cast<unsigned char>(e.ch)),
                               KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
        break;
    }
    const bool shift = e.shift && count > 0 && in[0].type == INPUT_MOUSE;
    if (shift) SendShift(false);
    const UINT sent = SendInput(count, in, sizeof(INPUT));
    if (shift) SendShift(true);
    if (sent != count) {
      error = "the system refused the scripted input (SendInput sent " + std::to_string(sent) +
              " of " + std::to_string(count) + " events)";
      return false;
    }
    return true;
  }

  bool Capture(Picture& picture) override {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(hwnd_);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (memory != nullptr && dib != nullptr) {
      HGDIOBJ old = SelectObject(memory, dib);
      ok = BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY) != 0;
      GdiFlush();
      if (ok) {
        picture.width = w;
        picture.height = h;
        picture.pixels.assign(static_cast<const std::uint32_t*>(bits),
                              static_cast<const std::uint32_t*>(bits) + size_t(w) * size_t(h));
        for (std::uint32_t& p : picture.pixels) p |= 0xFF000000u;
      }
      SelectObject(memory, old);
    }
    if (dib != nullptr) DeleteObject(dib);
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(hwnd_, screen);
    return ok;
  }

  std::vector<ChildWindow> ChildWindows(bool nested) override {
    std::vector<ChildWindow> children;
    if (nested) {
      EnumChildWindows(hwnd_, CollectChild, reinterpret_cast<LPARAM>(&children));
      return children;
    }
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back(Describe(child));
    }
    return children;
  }

  GuiCounts GuiResources() override {
    HANDLE self = GetCurrentProcess();
    GuiCounts counts;
    counts.gdi = long(GetGuiResources(self, GR_GDIOBJECTS));
    counts.user = long(GetGuiResources(self, GR_USEROBJECTS));
    // A process with a window owns USER objects: zero means the system does
    // not count them (wine).
    if (counts.user == 0) counts.gdi = counts.user = -1;
    counts.windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindows,
                      reinterpret_cast<LPARAM>(&counts.windows));
    return counts;
  }

  bool Closed() override { return GetWindowLongPtrA(hwnd_, GWLP_USERDATA) != 0; }

 private:
  // How long Settle waits for an editor's first timer message before taking it for
  // an editor without timers.
  static constexpr double kFirstTickWait = 3.0;

  static DWORD Deadline(double seconds) {
    return GetTickCount() + DWORD(seconds > 0 ? seconds * 1000.0 : 0.0);
  }
  static bool Earlier(DWORD a, DWORD b) { return LONG(a - b) < 0; }

  // Dispatches what is queued, counting the timer messages of the editor's windows.
  void DispatchPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.hwnd != nullptr && msg.hwnd != hwnd_) ++ticks_;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  // Waits for the next message until end; false once end has passed or the window
  // was closed.
  bool WaitUntil(DWORD end) {
    const LONG left = LONG(end - GetTickCount());
    if (left <= 0 || Closed()) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left), QS_ALLINPUT);
    return true;
  }

  // An absolute pointer event at editor pixel (x, y), the client area's origin.
  INPUT Mouse(const InputEvent& e, DWORD flags, DWORD data) {
    POINT at = {e.x, e.y};
    ClientToScreen(hwnd_, &at);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = LONG((at.x * 65535 + (sw - 1) / 2) / (sw > 1 ? sw - 1 : 1));
    in.mi.dy = LONG((at.y * 65535 + (sh - 1) / 2) / (sh > 1 ? sh - 1 : 1));
    in.mi.mouseData = data;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
  }

  static ChildWindow Describe(HWND child) {
    ChildWindow c;
    char name[256] = {};
    GetClassNameA(child, name, sizeof name);
    c.name = name;
    RECT r = {};
    GetWindowRect(child, &r);
    HWND top = GetAncestor(child, GA_ROOT);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
    c.x = r.left;
    c.y = r.top;
    c.width = r.right - r.left;
    c.height = r.bottom - r.top;
    if (lstrcmpiA(name, "ComboBox") == 0) {
      const LRESULT items = SendMessageA(child, CB_GETCOUNT, 0, 0);
      for (LRESULT i = 0; i < items; ++i) {
        char item[256] = {};
        if (SendMessageA(child, CB_GETLBTEXTLEN, WPARAM(i), 0) < LRESULT(sizeof item))
          SendMessageA(child, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(item));
        if (i > 0) c.text += '|';
        c.text += item;
      }
    } else if (lstrcmpiA(name, "Edit") == 0) {
      char text[256] = {};
      GetWindowTextA(child, text, sizeof text);
      c.text = text;
    }
    return c;
  }

  static BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<ChildWindow>*>(list)->push_back(Describe(child));
    return TRUE;
  }

  static BOOL CALLBACK CountWindows(HWND hwnd, LPARAM count) {
    long* n = reinterpret_cast<long*>(count);
    ++*n;
    EnumChildWindows(hwnd, CountChild, count);
    return TRUE;
  }

  static BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
  }

  void SendShift(bool up) {
    INPUT in = KeyInput(VK_SHIFT, 0, up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &in, sizeof(INPUT));
  }

  HWND hwnd_;
  long ticks_ = 0;          // timer messages of the editor's windows so far
  bool timerless_ = false;  // the editor showed no timer when one was waited for
};

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::Create(int width, int height, const std::string& title,
                                                   std::string& error) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (RegisterClassA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    error = "cannot register the host window's class";
    return nullptr;
  }
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, width, height};
  AdjustWindowRect(&frame, style, FALSE);
  HWND hwnd = CreateWindowExA(0, kClassName, title.c_str(), style, kScreenX, kScreenY,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, nullptr);
  if (hwnd == nullptr) {
    error = "cannot create the host window (is there a display?)";
    return nullptr;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  return std::make_unique<EditorWindowWin32>(hwnd);
}

}  // namespace vsthost
