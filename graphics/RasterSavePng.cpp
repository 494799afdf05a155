#include "graphics/RasterSavePng.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// Kept free of C++ objects: libpng errors longjmp back here.
bool WriteRows(FILE* file, int w, int h, png_bytepp rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool RasterSavePng(RasterBitmap* surface, const char* path) {
  if (surface == nullptr || surface->GetBits() == nullptr || path == nullptr) return false;
  const int w = surface->GetWidth();
  const int h = surface->GetHeight();
  std::vector<unsigned char> bytes(size_t(w) * size_t(h) * 4);
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const int memRow = surface->IsFlipped() ? h - 1 - y : y;
    const RasterPixel* src = surface->GetBits() + size_t(memRow) * size_t(surface->GetRowSpan());
    unsigned char* dst = &bytes[size_t(y) * size_t(w) * 4];
    for (int x = 0; x < w; ++x) {
      dst[4 * x + 0] = static_cast<unsigned char>(RasterRed(src[x]));
      dst[4 * x + 1] = static_cast<unsigned char>(RasterGreen(src[x]));
      dst[4 * x + 2] = static_cast<unsigned char>(RasterBlue(src[x]));
      dst[4 * x + 3] = static_cast<unsigned char>(RasterAlpha(src[x]));
    }
    rows[size_t(y)] = dst;
  }
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool ok = WriteRows(file, w, h, rows.data());
  return std::fclose(file) == 0 && ok;
}
