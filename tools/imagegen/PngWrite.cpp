#include "tools/imagegen/PngWrite.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "raster/RasterSurface.h"

namespace {

// One PNG row from one picture row, in R, G, B[, A] byte order.
std::vector<png_byte> PackRow(RasterBitmap* surface, int y, bool withAlpha) {
  const int w = surface->GetWidth();
  std::vector<png_byte> row;
  row.reserve(std::size_t(w) * 4);
  for (int x = 0; x < w; ++x) {
    const RasterPixel p = RasterGetPixel(surface, x, y);
    row.push_back(png_byte(RasterRed(p)));
    row.push_back(png_byte(RasterGreen(p)));
    row.push_back(png_byte(RasterBlue(p)));
    if (withAlpha) row.push_back(png_byte(RasterAlpha(p)));
  }
  return row;
}

bool WriteRows(png_structp png, png_infop info, RasterBitmap* surface, bool withAlpha) {
  // libpng reports errors by longjmp; nothing with a destructor lives in this frame.
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, png_uint_32(surface->GetWidth()), png_uint_32(surface->GetHeight()), 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < surface->GetHeight(); ++y) {
    std::vector<png_byte> row = PackRow(surface, y, withAlpha);
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

bool WritePng(RasterBitmap* surface, const char* path, bool withAlpha) {
  if (!surface || !surface->GetBits() || surface->GetWidth() <= 0 || surface->GetHeight() <= 0)
    return false;
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info) {
    png_init_io(png, file);
    ok = WriteRows(png, info, surface, withAlpha);
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  ok = (std::fclose(file) == 0) && ok;
  return ok;
}
