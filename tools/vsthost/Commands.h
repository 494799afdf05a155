// The vsthost commands, from a parsed command line to an exit code.
#pragma once

#include <cstdio>

namespace vsthost {

// Exit codes: 0 success, 1 bad command line, 2 the plug-in or a file failed,
// 3 a check asked for on the command line (--expect-passthrough) failed.
enum ExitCode { kExitOk = 0, kExitUsage = 1, kExitFailure = 2, kExitCheckFailed = 3 };

// Runs vsthost with the given arguments, printing results to out and errors to err.
int RunVstHost(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace vsthost
