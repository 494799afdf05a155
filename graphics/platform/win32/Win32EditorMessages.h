#pragma once
// The window procedures of the Win32 editor: the editor window's message table
// and the value entry's subclass procedure. Internal to the Win32 layer.
#include <windows.h>

class IGraphicsLiceWin32;

struct Win32EditorMessages {
  static LRESULT CALLBACK EditorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT Handle(IGraphicsLiceWin32& host, HWND hwnd, UINT msg, WPARAM wParam,
                        LPARAM lParam);
  static void Timer(IGraphicsLiceWin32& host, HWND hwnd);
  static void Paint(IGraphicsLiceWin32& host, HWND hwnd);
};
