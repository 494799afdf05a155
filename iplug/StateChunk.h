// A growable byte buffer: the carrier of serialised state and the storage policy of
// the framework's growable buffers. Capacity grows in steps of 4096 bytes beyond
// what is asked, so repeated appends rarely reallocate, and it only shrinks when far
// too large, so a buffer that has reached its working size stops allocating.
#pragma once

#include <cstdint>

class StateChunk {
 public:
  static constexpr int kGranularity = 4096;

  StateChunk() = default;
  ~StateChunk();
  StateChunk(const StateChunk&) = delete;
  StateChunk& operator=(const StateChunk&) = delete;

  std::uint8_t* Data() { return data_; }
  const std::uint8_t* Data() const { return data_; }
  int Size() const { return size_; }
  int Capacity() const { return capacity_; }

  // Sets the size to n bytes; existing bytes up to the smaller size survive.
  // Returns false (and changes nothing) when memory cannot be obtained or n < 0.
  bool Resize(int n, bool allowShrink = true);
  // As Resize, and zeroes the bytes between the old and the new size.
  bool ResizeZeroFilled(int n);
  // Appends k bytes copied from src (zeros when src is null). False on failure.
  bool Append(const void* src, int k);
  void Clear();

  // Little-endian writers; false when the append failed.
  bool PutInt32(std::int32_t value);
  bool PutDouble(double value);
  bool PutBytes(const void* bytes, int k) { return Append(bytes, k); }

  // Readers: return the position after the value, or -1 when the bytes are not there
  // (or pos is already negative). The value is left untouched on failure.
  int GetInt32(std::int32_t* value, int pos) const;
  int GetDouble(double* value, int pos) const;
  int GetBytes(void* dst, int k, int pos) const;

 private:
  bool Reallocate(int capacity);

  std::uint8_t* data_ = nullptr;
  int capacity_ = 0;
  int size_ = 0;
};
