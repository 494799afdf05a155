#include "iplug/StateChunk.h"

#include <cstdlib>
#include <cstring>

StateChunk::~StateChunk() { std::free(data_); }

bool StateChunk::Reallocate(int capacity) {
  if (capacity == 0) {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    return true;
  }
  void* grown = std::realloc(data_, static_cast<std::size_t>(capacity));
  if (grown == nullptr) return false;
  data_ = static_cast<std::uint8_t*>(grown);
  capacity_ = capacity;
  return true;
}

bool StateChunk::Resize(int n, bool allowShrink) {
  if (n < 0) return false;
  if (n > capacity_) {
    // Guard the addition: a request near INT_MAX must fail, not wrap around.
    if (n > INT32_MAX - kGranularity) return false;
    if (!Reallocate(n + kGranularity)) return false;
  } else if (allowShrink && n == 0) {
    Reallocate(0);
  } else if (allowShrink && n < capacity_ - 4 * kGranularity) {
    Reallocate(n);  // shrinking never fails in practice; on failure keep the larger block
  }
  size_ = n;
  return true;
}

bool StateChunk::ResizeZeroFilled(int n) {
  const int old = size_;
  if (!Resize(n)) return false;
  if (n > old) std::memset(data_ + old, 0, static_cast<std::size_t>(n - old));
  return true;
}

bool StateChunk::Append(const void* src, int k) {
  if (k < 0 || size_ > INT32_MAX - k) return false;
  const int at = size_;
  if (!Resize(size_ + k)) return false;
  if (k == 0) return true;
  if (src != nullptr) {
    std::memcpy(data_ + at, src, static_cast<std::size_t>(k));
  } else {
    std::memset(data_ + at, 0, static_cast<std::size_t>(k));
  }
  return true;
}

void StateChunk::Clear() {
  Reallocate(0);
  size_ = 0;
}

bool StateChunk::PutInt32(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  const std::uint8_t bytes[4] = {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16),
                                 std::uint8_t(u >> 24)};
  return Append(bytes, 4);
}

bool StateChunk::PutDouble(double value) {
  std::uint64_t u;
  std::memcpy(&u, &value, 8);
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = std::uint8_t(u >> (8 * i));
  return Append(bytes, 8);
}

int StateChunk::GetBytes(void* dst, int k, int pos) const {
  if (pos < 0 || k < 0 || pos > size_ || size_ - pos < k) return -1;
  if (k > 0) std::memcpy(dst, data_ + pos, static_cast<std::size_t>(k));
  return pos + k;
}

int StateChunk::GetInt32(std::int32_t* value, int pos) const {
  std::uint8_t b[4];
  const int next = GetBytes(b, 4, pos);
  if (next < 0) return -1;
  *value = static_cast<std::int32_t>(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                                     (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24));
  return next;
}

int StateChunk::GetDouble(double* value, int pos) const {
  std::uint8_t b[8];
  const int next = GetBytes(b, 8, pos);
  if (next < 0) return -1;
  std::uint64_t u = 0;
  for (int i = 0; i < 8; ++i) u |= std::uint64_t(b[i]) << (8 * i);
  std::memcpy(value, &u, 8);
  return next;
}
