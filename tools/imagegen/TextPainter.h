#pragma once
// Labels for the generated pictures: FreeType glyphs of a fontconfig face,
// blended into a surface. Build-time only; the plug-in draws its own texts.

#include <string>

#include "raster/RasterBitmap.h"

struct TextStyle {
  const char* family = "Liberation Sans";
  bool bold = false;
  int pixelSize = 10;  // em size in pixels
  int tracking = 0;    // extra pixels between letters (small caps labels read better spaced)
  RasterPixel colour = 0xFFFFFFFF;
};

class TextPainter {
 public:
  TextPainter();
  ~TextPainter();
  TextPainter(const TextPainter&) = delete;
  TextPainter& operator=(const TextPainter&) = delete;

  // False when FreeType could not start; every draw then does nothing.
  bool Ready() const { return library != nullptr; }

  // Advance width of text in pixels; -1 when the face cannot be loaded.
  int Width(const TextStyle& style, const std::string& text);
  // Draws text with its baseline at y, horizontally centred on cx (or starting
  // at cx when centred is false). Returns false when the face cannot be loaded.
  bool Draw(RasterBitmap* surface, const TextStyle& style, const std::string& text, float cx,
            int baseline, bool centred = true);

 private:
  struct FaceSlot {
    std::string key;
    void* face = nullptr;
  };
  void* FaceFor(const TextStyle& style);

  void* library = nullptr;
  FaceSlot faces[4];
};
