#include "graphics/platform/freetype/FreeTypeText.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics/platform/freetype/GlyphBlend.h"
#include "iplug/ILock.h"

namespace {

constexpr int kFirstGlyph = 0x20;
constexpr int kGlyphCount = 0x7F - kFirstGlyph;  // printable ASCII
// Past this many characters a line is far wider than any surface; stop there.
constexpr int kMaxChars = 4096;

struct Glyph {
  bool loaded = false;
  int left = 0;     // bitmap offset from the pen
  int top = 0;      // bitmap rows above the baseline
  int advance = 0;  // whole pixels
  int width = 0;
  int rows = 0;
  std::vector<unsigned char> coverage;
};

// One face at one cell height, with its printable glyphs rendered on first use.
struct SizedFace {
  std::string face;
  int style = 0;
  int size = 0;
  FT_Face ft = nullptr;
  int ascent = 0;  // baseline below the cell top
  Glyph glyphs[kGlyphCount];
};

struct FontState {
  ILock lock;
  FT_Library library = nullptr;
  bool triedInit = false;
  std::vector<std::unique_ptr<SizedFace>> faces;

  ~FontState() {
    for (auto& f : faces) {
      if (f->ft != nullptr) FT_Done_Face(f->ft);
    }
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

FontState& Fonts() {
  static FontState state;
  return state;
}

// fontconfig keeps its configuration and caches for the life of the library, and a
// plug-in cannot shut it down (FcFini would pull them from under a host that uses
// fontconfig too). A host that does not use it would unload it with the module and
// lose all of that at every load; kept loaded, a reload finds it again.
void KeepFontconfigLoaded() {
  static const bool kept = [] {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&FcFontMatch), &info) == 0 || info.dli_fname == nullptr) {
      return false;
    }
    return dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
  }();
  (void)kept;
}

// The file fontconfig picks for a face name and style; it substitutes
// metric-compatible faces ("Arial" gives Liberation Sans).
bool FindFontFile(const char* face, int style, std::string& file, int& index) {
  KeepFontconfigLoaded();
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
  FcPatternAddInteger(pattern, FC_WEIGHT, style == 1 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, style == 2 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* path = nullptr;
  bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
  if (found) {
    file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  }
  FcPatternDestroy(match);
  return found;
}

// Scales the face so that ascent + descent (the font's cell) is size pixels,
// the meaning a Windows font height has.
bool SetCellHeight(SizedFace& f) {
  FT_Face ft = f.ft;
  double cellUnits = double(ft->ascender - ft->descender);
  double ascentUnits = double(ft->ascender);
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
    cellUnits = double(os2->usWinAscent) + double(os2->usWinDescent);
    ascentUnits = double(os2->usWinAscent);
  }
  if (!(cellUnits > 0.0) || ft->units_per_EM == 0) return false;
  const double em = f.size * double(ft->units_per_EM) / cellUnits;
  if (FT_Set_Char_Size(ft, 0, FT_F26Dot6(std::lround(em * 64.0)), 72, 72) != 0) return false;
  f.ascent = int(std::lround(ascentUnits * em / ft->units_per_EM));
  return true;
}

SizedFace* OpenFace(FontState& st, const IFontSpec& font) {
  char face[sizeof font.face + 1] = {};
  std::memcpy(face, font.face, sizeof font.face);  // the record may lack its NUL
  const int size = std::clamp(font.size, 1, 1024);
  for (auto& f : st.faces) {
    if (f->face == face && f->style == font.style && f->size == size) return f.get();
  }
  if (!st.triedInit) {
    st.triedInit = true;
    if (FT_Init_FreeType(&st.library) != 0) st.library = nullptr;
  }
  if (st.library == nullptr) return nullptr;
  std::string file;
  int index = 0;
  if (!FindFontFile(face, font.style, file, index)) return nullptr;
  auto f = std::make_unique<SizedFace>();
  f->face = face;
  f->style = font.style;
  f->size = size;
  if (FT_New_Face(st.library, file.c_str(), index, &f->ft) != 0) return nullptr;
  if (!SetCellHeight(*f)) {
    FT_Done_Face(f->ft);
    return nullptr;
  }
  st.faces.push_back(std::move(f));
  return st.faces.back().get();
}

const Glyph* GlyphFor(SizedFace& f, unsigned char c) {
  if (c < kFirstGlyph || c >= kFirstGlyph + kGlyphCount) return nullptr;
  Glyph& g = f.glyphs[c - kFirstGlyph];
  if (g.loaded) return &g;
  g.loaded = true;
  if (FT_Load_Char(f.ft, c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return &g;
  const FT_GlyphSlot slot = f.ft->glyph;
  g.advance = int((slot->advance.x + 32) >> 6);
  const FT_Bitmap& bm = slot->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return &g;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.width = int(bm.width);
  g.rows = int(bm.rows);
  g.coverage.resize(size_t(g.width) * size_t(g.rows));
  for (int y = 0; y < g.rows; ++y) {
    std::memcpy(&g.coverage[size_t(y) * size_t(g.width)], bm.buffer + ptrdiff_t(y) * bm.pitch,
                size_t(g.width));
  }
  return &g;
}

int LineWidth(SizedFace& f, const char* text) {
  int w = 0;
  for (int i = 0; text[i] != '\0' && i < kMaxChars; ++i) {
    const Glyph* g = GlyphFor(f, static_cast<unsigned char>(text[i]));
    if (g != nullptr) w += g->advance;
  }
  return w;
}

// Where the line starts for the box's alignment.
int PenStart(SizedFace& f, const IFontSpec& font, const char* text, IBox box) {
  if (font.align == IALIGN_CENTER) return box.left + (box.W() - LineWidth(f, text)) / 2;
  if (font.align == IALIGN_RIGHT) return box.right - LineWidth(f, text);
  return box.left;
}

void BlitGlyph(RasterBitmap* surface, IBox clip, const Glyph& g, int penX, int baseline,
               RasterPixel colour) {
  const int x0 = penX + g.left;
  const int y0 = baseline - g.top;
  // The glyph's columns inside the clip.
  const int from = std::max(clip.left - x0, 0), to = std::min(clip.right - x0, g.width);
  if (from >= to) return;
  RasterPixel* bits = surface->GetBits();
  const int rowSpan = surface->GetRowSpan();
  const int height = surface->GetHeight();
  const bool flipped = surface->IsFlipped();
  for (int gy = 0; gy < g.rows; ++gy) {
    const int y = y0 + gy;
    if (y < clip.top || y >= clip.bottom) continue;
    const int row = flipped ? height - 1 - y : y;
    RasterPixel* line = bits + size_t(row) * size_t(rowSpan) + (x0 + from);
    const unsigned char* cov = &g.coverage[size_t(gy) * size_t(g.width) + size_t(from)];
    GlyphBlendRow(line, cov, to - from, colour);
  }
}

}  // namespace

bool FreeTypeDrawText(RasterBitmap* surface, const IFontSpec& font, const char* text, IBox box,
                      IBox clip) {
  if (text == nullptr || text[0] == '\0') return true;
  FontState& st = Fonts();
  ILockGuard hold(st.lock);
  SizedFace* f = OpenFace(st, font);
  if (f == nullptr) return false;
  if (surface == nullptr || surface->GetBits() == nullptr) return true;
  const IBox whole{0, 0, surface->GetWidth(), surface->GetHeight()};
  clip = clip.Empty() ? whole : IBoxIntersection(clip, whole);
  if (clip.Empty()) return true;
  int penX = PenStart(*f, font, text, box);
  const int baseline = box.top + f->ascent;
  const RasterPixel colour = IRgbaToPixel(font.colour);
  for (int i = 0; text[i] != '\0' && i < kMaxChars && penX < clip.right; ++i) {
    const Glyph* g = GlyphFor(*f, static_cast<unsigned char>(text[i]));
    if (g == nullptr) continue;
    if (!g->coverage.empty()) BlitGlyph(surface, clip, *g, penX, baseline, colour);
    penX += g->advance;
  }
  return true;
}

IBox FreeTypeTextBox(const IFontSpec& font, const char* text, IBox box) {
  if (text == nullptr || text[0] == '\0') return IBox{};
  FontState& st = Fonts();
  ILockGuard hold(st.lock);
  SizedFace* f = OpenFace(st, font);
  if (f == nullptr) return IBox{};
  int penX = PenStart(*f, font, text, box);
  const int baseline = box.top + f->ascent;
  IBox ink{};
  bool any = false;
  for (int i = 0; text[i] != '\0' && i < kMaxChars; ++i) {
    const Glyph* g = GlyphFor(*f, static_cast<unsigned char>(text[i]));
    if (g == nullptr) continue;
    if (!g->coverage.empty()) {
      const IBox glyph{penX + g->left, baseline - g->top, penX + g->left + g->width,
                       baseline - g->top + g->rows};
      ink = any ? IBoxUnion(ink, glyph) : glyph;
      any = true;
    }
    penX += g->advance;
  }
  return ink;
}

int FreeTypeTextWidth(const IFontSpec& font, const char* text) {
  FontState& st = Fonts();
  ILockGuard hold(st.lock);
  SizedFace* f = OpenFace(st, font);
  if (f == nullptr) return -1;
  return text == nullptr ? 0 : LineWidth(*f, text);
}

IFontSpec FreeTypeHostText::Used(const IFontSpec& font) const {
  IFontSpec used = chosen_ ? first_ : font;
  used.colour = font.colour;
  used.align = font.align;
  return used;
}

bool FreeTypeHostText::Draw(RasterBitmap* surface, const IFontSpec& font, const char* text,
                            IBox box, IBox clip) {
  if (text == nullptr) return true;
  if (!chosen_) {
    first_ = font;
    chosen_ = true;
  }
  return FreeTypeDrawText(surface, Used(font), text, box, clip);
}

IBox FreeTypeHostText::Bounds(const IFontSpec& font, const char* text, IBox box) const {
  return FreeTypeTextBox(Used(font), text, box);
}
