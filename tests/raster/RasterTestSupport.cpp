#include "tests/raster/RasterTestSupport.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "raster/RasterSurface.h"

namespace raster_test {

GuardedBitmap::GuardedBitmap(int w, int h, bool flip, RasterPixel fill, bool packedRows)
    : width(w),
      height(h),
      sidePad(packedRows ? 0 : kPad),
      span((w > 0 ? w : 0) + 2 * sidePad),
      flipped(flip),
      block(std::size_t(span) * std::size_t((h > 0 ? h : 0) + 2 * kPad), kGuard) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) block[std::size_t(y + kPad) * span + sidePad + x] = fill;
}

bool GuardedBitmap::GuardsIntact() const {
  for (std::size_t i = 0; i < block.size(); ++i) {
    const int row = int(i / span) - kPad, col = int(i % span) - sidePad;
    const bool inside = row >= 0 && row < height && col >= 0 && col < width;
    if (!inside && block[i] != kGuard) return false;
  }
  return true;
}

RasterPixel GuardedBitmap::At(int x, int y) const {
  const int row = flipped ? height - 1 - y : y;
  return block[std::size_t(row + kPad) * span + sidePad + x];
}

void GuardedBitmap::Set(int x, int y, RasterPixel p) {
  const int row = flipped ? height - 1 - y : y;
  block[std::size_t(row + kPad) * span + sidePad + x] = p;
}

int GuardedBitmap::CountNot(RasterPixel value) const {
  int n = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) n += At(x, y) != value;
  return n;
}

std::vector<RasterPixel> Snapshot(RasterBitmap* surface) {
  std::vector<RasterPixel> out;
  for (int y = 0; y < surface->GetHeight(); ++y)
    for (int x = 0; x < surface->GetWidth(); ++x) out.push_back(RasterGetPixel(surface, x, y));
  return out;
}

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

bool WritePng(const std::string& path, int width, int height,
              const std::vector<RasterPixel>& pixels) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(std::size_t(width) * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const RasterPixel p = pixels[std::size_t(y) * width + x];
      row[x * 4 + 0] = png_byte(p >> 16);
      row[x * 4 + 1] = png_byte(p >> 8);
      row[x * 4 + 2] = png_byte(p);
      row[x * 4 + 3] = png_byte(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool ReadPng(const std::string& path, int& width, int& height, std::vector<RasterPixel>& pixels) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return false;
  width = int(image.width);
  height = int(image.height);
  pixels.resize(std::size_t(width) * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const png_byte* b = &bytes[i * 4];
    pixels[i] =
        (RasterPixel(b[3]) << 24) | (RasterPixel(b[0]) << 16) | (RasterPixel(b[1]) << 8) | b[2];
  }
  return true;
}

std::string DataDir() { return VIRLEX_RASTER_TEST_DATA; }

}  // namespace raster_test
