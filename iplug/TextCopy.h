#pragma once

#include <cstring>

// Copies a NUL-terminated text into a buffer of `size` bytes, cut to fit and always
// terminated. Nothing happens for a null buffer or a size below 1.
inline void CopyText(char* dst, const char* src, std::size_t size) {
  if (dst == nullptr || size == 0) return;
  if (src == nullptr) src = "";
  const std::size_t n = strnlen(src, size - 1);
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}
