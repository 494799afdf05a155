#pragma once
// The editor's PNG images, compiled into the module off Windows (Windows keeps
// them as resources of type "PNG" under the same numeric ids).

struct EmbeddedResource {
  int id;
  const char* name;           // "img/bg.png" etc.
  const unsigned char* data;  // the PNG file's bytes
  unsigned size;
};

// The resource with this id, or null when the module has none.
const EmbeddedResource* FindEmbeddedResource(int id);
