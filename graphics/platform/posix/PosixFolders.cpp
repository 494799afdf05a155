#include "graphics/platform/posix/PosixFolders.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

// Its address tells dladdr which shared object this code was linked into.
void PluginFolderAnchor() {}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void PosixHostFolder(std::string& out) {
  out.clear();
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return;
  out = FolderOf(std::string(path, size_t(n)));
}

void PosixPluginFolder(std::string& out) {
  out.clear();
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&PluginFolderAnchor), &info) == 0 || info.dli_fname == nullptr)
    return;
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved) == nullptr) return;
  out = FolderOf(resolved);
}
