// A first-in-first-out byte queue kept in fixed-capacity chunks, so that appending
// never moves old data and dropping from the head never copies. Emptied chunks
// are kept as spares and reused, so once the queue has reached its working size
// it stops allocating: the audio thread can append to it. A queue told its limit up
// front never allocates at all.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class SampleQueue {
 public:
  static constexpr int kChunkBytes = 65472;

  // Creates, up front, every chunk a queue holding at most `maxHeldBytes` can
  // touch, so that appending within that limit never allocates.
  explicit SampleQueue(int maxHeldBytes = 0);
  ~SampleQueue();
  SampleQueue(const SampleQueue&) = delete;
  SampleQueue& operator=(const SampleQueue&) = delete;

  // Adds count bytes at the tail (zeros when src is null). Bytes that cannot be
  // stored for lack of memory are dropped; Held() counts only what was stored.
  void Append(const void* src, int count);
  // Drops count bytes from the head.
  void Discard(int count);
  // Copies up to count bytes starting pos bytes after the head; returns the number
  // copied, fewer when the queue holds fewer.
  int Peek(int pos, void* dst, int count) const;
  int Held() const { return held_; }
  int ChunkCount() const { return static_cast<int>(chunks_.size()); }
  int SpareCount() const { return static_cast<int>(spares_.size()); }

 private:
  struct Chunk {
    std::unique_ptr<std::uint8_t[]> bytes;
    int used = 0;
  };
  Chunk* TakeChunk();
  static Chunk* NewChunk();

  int readOffset_ = 0;  // bytes already dropped from the first chunk
  int held_ = 0;
  std::vector<Chunk*> chunks_;
  std::vector<Chunk*> spares_;
};
