#include "graphics/platform/posix/PosixShellOpen.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

extern char** environ;

namespace {

bool IsExecutable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Full path of program on the PATH, or empty.
std::string FindOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  const std::string dirs = path;
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(start, end - start);
    if (!dir.empty()) {
      const std::string candidate = dir + "/" + program;
      if (IsExecutable(candidate)) return candidate;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

bool PosixShellOpen(const char* target) {
  if (target == nullptr || target[0] == '\0') return false;
  const std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  // A short-lived shell starts the opener in the background and exits at once:
  // the opener becomes the init process's child, and the only wait here is for
  // that shell. Nothing (no thread, no child to reap) is left for this module.
  // The target travels as an argument, never as shell text.
  static const char kScript[] = "\"$0\" \"$1\" </dev/null >/dev/null 2>&1 &";
  char* argv[] = {const_cast<char*>("sh"),    const_cast<char*>("-c"),
                  const_cast<char*>(kScript), const_cast<char*>(opener.c_str()),
                  const_cast<char*>(target),  nullptr};
  pid_t shell = 0;
  if (posix_spawn(&shell, "/bin/sh", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (waitpid(shell, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}
