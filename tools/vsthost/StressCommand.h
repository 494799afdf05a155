// vsthost stress: any VST 2 module worked hard the way many hosts at once would.
// Every cycle loads a number of instances (the module itself is loaded again once
// all instances of the previous cycle are gone), opens them, and then, in a random
// order per instance, changes sample rates (8 kHz to 768 kHz) and block sizes (1 to
// 65536), switches processing on and off, sets and reads parameters, saves and
// loads program and bank chunks, opens and closes the editor where it can, and
// processes audio between all of them; then closes the instances in a random
// order. It prints what it did and fails on a non-finite output for finite input,
// or, when asked, on output that is not the input of a pass-through plug-in. A
// crash ends the program, which is a failure too.
#pragma once

#include <cstdio>

namespace vsthost {

// argv[1] is "stress". Returns an ExitCode (Commands.h).
int RunStress(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace vsthost
