#include "graphics/platform/win32/Win32WindowClass.h"

#include <atomic>

namespace win32 {

namespace {

std::atomic<int> openWindows{0};

}  // namespace

bool AcquireEditorClass(HINSTANCE module, WNDPROC proc, const char* name) {
  if (openWindows.load() == 0) {
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    // A class left behind by a window its host destroyed while we were not
    // looking is still ours and still usable.
    if (RegisterClassA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }
  openWindows.fetch_add(1);
  return true;
}

void ReleaseEditorClass(HINSTANCE module, const char* name) {
  if (openWindows.load() <= 0) return;
  if (openWindows.fetch_sub(1) == 1) UnregisterClassA(name, module);
}

int EditorClassUsers() { return openWindows.load(); }

}  // namespace win32
