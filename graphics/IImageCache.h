#pragma once
// The process-wide image caches shared by every graphics host of the process:
// by resource id, scaled copies and cropped copies, each under its own lock, and
// the list of live surfaces the caches have handed out. A cache entry whose
// surface has been dropped is stale and is loaded again on its next request.
#include "graphics/IBox.h"
#include "graphics/IImage.h"

// Makes the surface of an image that is not cached yet; null on failure.
using IImageLoader = RasterBitmap* (*)(void* context, int id, const char* name);

namespace IImageCache {

// The cached image of resource id, loading it with loader on a miss or a stale
// entry. A hit keeps the frame count of the load that filled it. A failed load
// gives an image with a null surface and leaves the entry to be retried.
IImage FromResource(int id, const char* name, int frameCount, IImageLoader loader, void* context);
// A bilinear copy of source at width x height, cached by (source, width, height).
IImage Scaled(IImage source, int width, int height);
// A copy of region of source, cached by (source, region).
IImage Cropped(IImage source, IBox region);

// Enters the surface in the live list (once; null is ignored).
void Track(IImage image);
// Deletes the surface when it is in the live list and removes it from there.
void Drop(IImage image);
bool IsLive(const RasterBitmap* surface);

}  // namespace IImageCache
