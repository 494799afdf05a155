#pragma once
// The editor's window class, registered while at least one editor window of the
// module is open. All calls come from GUI threads; hosts open and close editors
// on one thread, and the count is kept atomically all the same.
#include <windows.h>

namespace win32 {

// Registers the class for the first window; false when that fails.
bool AcquireEditorClass(HINSTANCE module, WNDPROC proc, const char* name);
// Counts a window gone; the last one unregisters the class.
void ReleaseEditorClass(HINSTANCE module, const char* name);
int EditorClassUsers();

}  // namespace win32
