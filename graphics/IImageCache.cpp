#include "graphics/IImageCache.h"

#include <algorithm>
#include <vector>

#include "iplug/ILock.h"
#include "iplug/Trace.h"
#include "raster/MemBitmap.h"
#include "raster/RasterBlit.h"
#include "raster/RasterScaledBlit.h"
#include "raster/RasterSurface.h"

namespace {

// The live list gets a lock of its own: DropImage runs outside any cache lock,
// and two editors may live on two GUI threads. Taken after a cache lock, never
// before one.
//
// It owns the cached surfaces and frees them when the module is unloaded, so a
// host that loads and unloads the plug-in again and again does not lose the
// images' memory each time. After that nothing is tracked any more.
struct LiveList {
  ILock lock;
  std::vector<RasterBitmap*> surfaces;
  ~LiveList();
};

bool gLiveListGone = false;

LiveList::~LiveList() {
  for (RasterBitmap* surface : surfaces) delete surface;
  surfaces.clear();
  gLiveListGone = true;
}

LiveList& Live() {
  static LiveList live;
  return live;
}

// One cache: parallel arrays of keys and images under one lock.
template <typename Key>
struct Cache {
  ILock lock;
  std::vector<Key> keys;
  std::vector<IImage> images;

  // Index of key, appending a new empty slot when absent.
  size_t Slot(const Key& key) {
    for (size_t i = 0; i < keys.size(); ++i) {
      if (keys[i] == key) return i;
    }
    keys.push_back(key);
    images.push_back(IImage{});
    return keys.size() - 1;
  }
};

struct ScaleKey {
  const RasterBitmap* source;
  int width;
  int height;
  bool operator==(const ScaleKey&) const = default;
};

struct CropKey {
  const RasterBitmap* source;
  IBox region;
  bool operator==(const CropKey& o) const { return source == o.source && region == o.region; }
};

Cache<int>& IdCache() {
  static Cache<int> cache;
  return cache;
}

Cache<ScaleKey>& ScaleCache() {
  static Cache<ScaleKey> cache;
  return cache;
}

Cache<CropKey>& CropCache() {
  static Cache<CropKey> cache;
  return cache;
}

}  // namespace

namespace IImageCache {

bool IsLive(const RasterBitmap* surface) {
  if (surface == nullptr || gLiveListGone) return false;
  LiveList& live = Live();
  ILockGuard hold(live.lock);
  return std::find(live.surfaces.begin(), live.surfaces.end(), surface) != live.surfaces.end();
}

void Track(IImage image) {
  if (image.surface == nullptr || gLiveListGone) return;
  LiveList& live = Live();
  ILockGuard hold(live.lock);
  // Entered once: a second entry would outlive the surface after one Drop.
  if (std::find(live.surfaces.begin(), live.surfaces.end(), image.surface) == live.surfaces.end()) {
    live.surfaces.push_back(image.surface);
  }
}

void Drop(IImage image) {
  if (gLiveListGone) return;
  LiveList& live = Live();
  ILockGuard hold(live.lock);
  auto it = std::find(live.surfaces.begin(), live.surfaces.end(), image.surface);
  if (it == live.surfaces.end()) return;
  delete *it;
  live.surfaces.erase(it);
}

IImage FromResource(int id, const char* name, int frameCount, IImageLoader loader, void* context) {
  Cache<int>& cache = IdCache();
  ILockGuard hold(cache.lock);
  const size_t slot = cache.Slot(id);
  if (IsLive(cache.images[slot].surface)) return cache.images[slot];
  RasterBitmap* surface = loader != nullptr ? loader(context, id, name) : nullptr;
  if (surface == nullptr) {
    // The pictures are built into the module; a miss is a packaging fault.
    TRACE_CALL("IImageCache::FromResource", "assertion imgResourceFound failed: id %d", id);
    cache.images[slot] = IImage{};
    return IImage{nullptr, 0, 0, frameCount};
  }
  cache.images[slot] = IImage{surface, surface->GetWidth(), surface->GetHeight(), frameCount};
  Track(cache.images[slot]);
  return cache.images[slot];
}

IImage Scaled(IImage source, int width, int height) {
  Cache<ScaleKey>& cache = ScaleCache();
  ILockGuard hold(cache.lock);
  const size_t slot = cache.Slot(ScaleKey{source.surface, width, height});
  if (IsLive(cache.images[slot].surface)) return cache.images[slot];
  MemBitmap* surface = new MemBitmap(width, height);
  RasterScaledBlit(surface, source.surface, 0, 0, width, height, 0.0f, 0.0f, float(source.width),
                   float(source.height), 1.0f, BLIT_COPY | BLIT_FILTER_BILINEAR);
  cache.images[slot] = IImage{surface, width, height, source.frameCount};
  Track(cache.images[slot]);
  return cache.images[slot];
}

IImage Cropped(IImage source, IBox r) {
  Cache<CropKey>& cache = CropCache();
  ILockGuard hold(cache.lock);
  const size_t slot = cache.Slot(CropKey{source.surface, r});
  if (IsLive(cache.images[slot].surface)) return cache.images[slot];
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  MemBitmap* surface = new MemBitmap(w, h);
  // A region reaching outside the source leaves those pixels transparent.
  RasterClear(surface, 0);
  RasterBlitRegion(surface, source.surface, 0, 0, r.left, r.top, w, h, 1.0f, BLIT_COPY);
  cache.images[slot] = IImage{surface, w, h, source.frameCount};
  Track(cache.images[slot]);
  return cache.images[slot];
}

}  // namespace IImageCache
