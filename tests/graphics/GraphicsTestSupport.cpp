#include "tests/graphics/GraphicsTestSupport.h"

#include <png.h>

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

void NoFlush(png_structp) {}

bool Encode(std::vector<unsigned char>* out, int w, int h, int colourType, int depth,
            png_bytepp rows, const std::vector<unsigned char>* palette,
            const std::vector<unsigned char>* trns) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), depth, colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette->empty()) {
    png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(palette->data()),
                 int(palette->size() / 3));
  }
  if (!trns->empty()) png_set_tRNS(png, info, trns->data(), int(trns->size()), nullptr);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::vector<unsigned char> MakePng(int w, int h, int colourType, int bitDepth,
                                   const std::vector<unsigned char>& samples,
                                   const std::vector<unsigned char>& palette,
                                   const std::vector<unsigned char>& trns) {
  const size_t rowBytes = samples.size() / size_t(h);
  std::vector<unsigned char> copy = samples;
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) rows[size_t(y)] = copy.data() + size_t(y) * rowBytes;
  std::vector<unsigned char> out;
  if (!Encode(&out, w, h, colourType, bitDepth, rows.data(), &palette, &trns)) out.clear();
  return out;
}

std::vector<unsigned char> SolidRgbaPng(int w, int h, unsigned char r, unsigned char g,
                                        unsigned char b, unsigned char a) {
  std::vector<unsigned char> samples;
  for (int i = 0; i < w * h; ++i) samples.insert(samples.end(), {r, g, b, a});
  return MakePng(w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8, samples);
}
