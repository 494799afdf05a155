// Reads a fuzzer's bytes as a stream of small decisions. Running out of bytes
// gives zeros, so every input, however short, is a complete run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  std::size_t Remaining() const { return size_ - pos_; }

  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool Bool() { return (Byte() & 1) != 0; }
  // The next sizeof(T) bytes (at most 8) as a T, little-endian.
  template <class T>
  T Raw() {
    static_assert(sizeof(T) <= sizeof(std::uint64_t));
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) bits |= std::uint64_t(Byte()) << (8 * i);
    T value;
    std::memcpy(&value, &bits, sizeof(T));
    return value;
  }
  // A number in [lo, hi] (hi >= lo).
  std::int64_t Range(std::int64_t lo, std::int64_t hi) {
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    const std::uint64_t pick = span <= 256 ? Byte() : Raw<std::uint32_t>();
    return lo + static_cast<std::int64_t>(span == 0 ? pick : pick % span);
  }
  // Any float bit pattern, or (more often) an ordinary value in about -2 .. 2.
  float Float() {
    if (Bool()) return Raw<float>();
    return static_cast<float>(static_cast<std::int16_t>(Raw<std::uint16_t>())) / 16384.0f;
  }
  // Up to n bytes of the input (fewer at its end); advances past them.
  std::size_t Take(void* out, std::size_t n) {
    const std::size_t k = n < Remaining() ? n : Remaining();
    if (k > 0) std::memcpy(out, data_ + pos_, k);
    pos_ += k;
    return k;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};
