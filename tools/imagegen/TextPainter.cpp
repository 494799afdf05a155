#include "tools/imagegen/TextPainter.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

#include "raster/RasterBlit.h"

namespace {

// Font file fontconfig picks for the family and weight; empty when none.
std::string FindFontFile(const char* family, bool bold) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string path;
  FcChar8* file = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
    path = reinterpret_cast<const char*>(file);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return path;
}

FT_Face AsFace(void* p) { return static_cast<FT_Face>(p); }

// Blends one rendered glyph; the coverage value scales the colour's alpha.
void BlendGlyph(RasterBitmap* surface, const FT_Bitmap& bitmap, int left, int top,
                RasterPixel colour) {
  const float alpha = float(RasterAlpha(colour)) / 255.0f;
  const RasterPixel opaque = colour | 0xFF000000u;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* src = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      if (src[col] == 0) continue;
      const float weight = alpha * float(src[col]) / 255.0f;
      RasterPutPixel(surface, left + int(col), top + int(row), opaque, weight, BLIT_COPY);
    }
  }
}

}  // namespace

TextPainter::TextPainter() {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) == 0) library = lib;
}

TextPainter::~TextPainter() {
  for (FaceSlot& slot : faces)
    if (slot.face) FT_Done_Face(AsFace(slot.face));
  if (library) FT_Done_FreeType(static_cast<FT_Library>(library));
  // fontconfig's default configuration lives until this; the generator has
  // one painter, so releasing it here leaves nothing behind.
  FcFini();
}

void* TextPainter::FaceFor(const TextStyle& style) {
  if (!library) return nullptr;
  const std::string key = std::string(style.family) + (style.bold ? "/bold" : "/regular");
  for (FaceSlot& slot : faces)
    if (slot.face && slot.key == key) return slot.face;
  for (FaceSlot& slot : faces) {
    if (slot.face) continue;
    const std::string file = FindFontFile(style.family, style.bold);
    FT_Face face = nullptr;
    if (file.empty() || FT_New_Face(static_cast<FT_Library>(library), file.c_str(), 0, &face) != 0)
      return nullptr;
    slot.key = key;
    slot.face = face;
    return face;
  }
  return nullptr;  // more styles than slots: a generator bug, shown as missing text
}

int TextPainter::Width(const TextStyle& style, const std::string& text) {
  FT_Face face = AsFace(FaceFor(style));
  if (!face) return -1;
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(style.pixelSize));
  int width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(text[i])), FT_LOAD_DEFAULT) != 0)
      continue;
    width += int(face->glyph->advance.x >> 6);
    if (i + 1 < text.size()) width += style.tracking;
  }
  return width;
}

bool TextPainter::Draw(RasterBitmap* surface, const TextStyle& style, const std::string& text,
                       float cx, int baseline, bool centred) {
  const int width = Width(style, text);
  if (width < 0) return false;
  FT_Face face = AsFace(FaceFor(style));
  int penX = centred ? int(std::lround(cx - float(width) * 0.5f)) : int(cx);
  for (char c : text) {
    if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(c)), FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot glyph = face->glyph;
    BlendGlyph(surface, glyph->bitmap, penX + glyph->bitmap_left, baseline - glyph->bitmap_top,
               style.colour);
    penX += int(glyph->advance.x >> 6) + style.tracking;
  }
  return true;
}
