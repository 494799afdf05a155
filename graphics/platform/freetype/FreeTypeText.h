#pragma once
// Text drawing with FreeType onto a raster surface, for every platform but
// Windows (which uses GDI). Usable on its own: the image generator draws its
// labels with it, the graphics host's PaintText calls it.
#include "graphics/IBox.h"
#include "graphics/IFontSpec.h"
#include "raster/RasterBitmap.h"

// Draws text (bytes; anything outside printable ASCII is skipped) with the face
// fontconfig picks for font.face ("Arial" maps to a metric-compatible face),
// font.size as the cell height in pixels, antialiased and blended into surface
// in font.colour. Placement follows a single-line DrawText with no clipping:
// the line's cell starts at box.top; align 0/1/2 puts it at the left, centre or
// right of the box. Drawing is clipped to clip when it is non-empty, else to the
// surface. Returns false only when no face could be loaded; null or empty text
// draws nothing and returns true.
bool FreeTypeDrawText(RasterBitmap* surface, const IFontSpec& font, const char* text, IBox box,
                      IBox clip = IBox{});

// The pixels FreeTypeDrawText would touch for text in box: the union of the
// glyphs' pictures, placed as it places them. Empty for empty text or no face.
IBox FreeTypeTextBox(const IFontSpec& font, const char* text, IBox box);

// Width in pixels that FreeTypeDrawText would advance for text; -1 with no face.
int FreeTypeTextWidth(const IFontSpec& font, const char* text);

// The text rule of the editor's graphics hosts: the first font a host draws with
// stays for the host's life (face, size, style, orientation); colour and alignment
// follow each call.
class FreeTypeHostText {
 public:
  bool Draw(RasterBitmap* surface, const IFontSpec& font, const char* text, IBox box, IBox clip);
  // The pixels Draw would touch for text in box, by the same rule.
  IBox Bounds(const IFontSpec& font, const char* text, IBox box) const;

 private:
  IFontSpec Used(const IFontSpec& font) const;

  bool chosen_ = false;
  IFontSpec first_;
};
