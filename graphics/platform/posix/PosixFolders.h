#pragma once
// The folders of the host program and of the module this code is linked into, for
// the graphics hosts of every platform but Windows. Both end with '/' and are
// empty when they cannot be found.
#include <string>

void PosixHostFolder(std::string& out);
void PosixPluginFolder(std::string& out);
