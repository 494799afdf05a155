#pragma once
// Opening a file or link with the desktop's opener (xdg-open), shared by the
// platform layers of POSIX systems.

// Hands target to xdg-open when it is on the PATH; false when it is not or the
// opener could not be started. Returns without waiting for the opener, and leaves
// nothing of the module's code running behind it: a host may unload the plug-in
// while the opener still works.
bool PosixShellOpen(const char* target);
