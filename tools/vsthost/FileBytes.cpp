#include "tools/vsthost/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vsthost {

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes,
                   std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  bytes.clear();
  std::uint8_t block[65536];
  bool ok = true;
  for (;;) {
    std::size_t n = std::fread(block, 1, sizeof(block), file);
    if (bytes.size() + n > maxBytes) {
      error = "'" + path + "' is larger than " + std::to_string(maxBytes) + " bytes";
      ok = false;
      break;
    }
    bytes.insert(bytes.end(), block, block + n);
    if (n < sizeof(block)) {
      if (std::ferror(file)) {
        error = "cannot read '" + path + "'";
        ok = false;
      }
      break;
    }
  }
  std::fclose(file);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot create '" + path + "': " + std::strerror(errno);
    return false;
  }
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) error = "cannot write '" + path + "'";
  return ok;
}

}  // namespace vsthost
