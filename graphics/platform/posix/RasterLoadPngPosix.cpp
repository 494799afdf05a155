// Resource lookup off Windows: the editor's pictures are compiled into a table
// from id to PNG bytes; there is no module to search.
#include "graphics/RasterLoadPng.h"

#if VIRLEX_HAVE_EMBEDDED_RESOURCES
#include "resources/EmbeddedResources.h"
#endif

RasterBitmap* RasterLoadPng(void*, int id, RasterBitmap* destination) {
#if VIRLEX_HAVE_EMBEDDED_RESOURCES
  const EmbeddedResource* resource = FindEmbeddedResource(id);
  if (resource == nullptr || resource->data == nullptr) return nullptr;
  return RasterLoadPngFromMemory(resource->data, resource->size, destination);
#else
  // Built before the resource table exists: no picture is available.
  (void)id;
  (void)destination;
  return nullptr;
#endif
}
