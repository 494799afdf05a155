#include "plugin/engine/SampleQueue.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// A full queue of 48000 floats spans at most four chunks; room for a few more
// keeps the pointer lists from ever reallocating on the audio thread.
constexpr std::size_t kListReserve = 16;
}  // namespace

SampleQueue::SampleQueue(int maxHeldBytes) {
  chunks_.reserve(kListReserve);
  spares_.reserve(kListReserve);
  // Held bytes that start part-way into a chunk can touch one chunk more than they fill.
  const int needed = maxHeldBytes > 0 ? maxHeldBytes / kChunkBytes + 2 : 0;
  for (int i = 0; i < needed && spares_.size() < spares_.capacity(); ++i) {
    Chunk* chunk = NewChunk();
    if (chunk == nullptr) break;
    spares_.push_back(chunk);
  }
}

SampleQueue::~SampleQueue() {
  for (Chunk* chunk : chunks_) delete chunk;
  for (Chunk* chunk : spares_) delete chunk;
}

SampleQueue::Chunk* SampleQueue::TakeChunk() {
  if (!spares_.empty()) {
    Chunk* chunk = spares_.back();
    spares_.pop_back();
    chunk->used = 0;
    return chunk;
  }
  return NewChunk();
}

SampleQueue::Chunk* SampleQueue::NewChunk() {
  auto* chunk = new (std::nothrow) Chunk;
  if (chunk == nullptr) return nullptr;
  chunk->bytes.reset(new (std::nothrow) std::uint8_t[kChunkBytes]);
  if (chunk->bytes == nullptr) {
    delete chunk;
    return nullptr;
  }
  return chunk;
}

void SampleQueue::Append(const void* src, int count) {
  const auto* from = static_cast<const std::uint8_t*>(src);
  while (count > 0) {
    Chunk* last = chunks_.empty() ? nullptr : chunks_.back();
    if (last == nullptr || last->used >= kChunkBytes) {
      if (chunks_.size() == chunks_.capacity()) return;  // never reallocate here
      last = TakeChunk();
      if (last == nullptr) return;
      chunks_.push_back(last);
    }
    const int m = std::min(kChunkBytes - last->used, count);
    if (from != nullptr) {
      std::memcpy(last->bytes.get() + last->used, from, static_cast<std::size_t>(m));
      from += m;
    } else {
      std::memset(last->bytes.get() + last->used, 0, static_cast<std::size_t>(m));
    }
    last->used += m;
    held_ += m;
    count -= m;
  }
}

void SampleQueue::Discard(int count) {
  if (count <= 0) return;
  readOffset_ += count;
  held_ = std::max(held_ - count, 0);
  while (!chunks_.empty() && readOffset_ >= chunks_.front()->used) {
    readOffset_ -= chunks_.front()->used;
    if (spares_.size() < spares_.capacity()) {
      spares_.push_back(chunks_.front());
    } else {
      delete chunks_.front();  // more spares than a queue can use
    }
    chunks_.erase(chunks_.begin());
  }
  if (chunks_.empty()) readOffset_ = 0;
}

int SampleQueue::Peek(int pos, void* dst, int count) const {
  if (pos < 0 || dst == nullptr) return 0;
  auto* to = static_cast<std::uint8_t*>(dst);
  int copied = 0;
  std::size_t c = 0;
  int offset = readOffset_ + pos;  // byte index within the chunk list
  while (c < chunks_.size() && offset >= chunks_[c]->used) offset -= chunks_[c++]->used;
  while (count > 0 && c < chunks_.size()) {
    const Chunk* chunk = chunks_[c];
    const int m = std::min(chunk->used - offset, count);
    std::memcpy(to + copied, chunk->bytes.get() + offset, static_cast<std::size_t>(m));
    copied += m;
    count -= m;
    offset = 0;
    ++c;
  }
  return copied;
}
