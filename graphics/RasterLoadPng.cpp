#include "graphics/RasterLoadPng.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "raster/MemBitmap.h"

// libpng reports errors by longjmp back to the setjmp of the function that
// called it. The functions holding a setjmp below keep only plain values in
// their frame, so no C++ destructor is ever skipped.

namespace {

struct PngSource {
  const unsigned char* bytes;
  std::size_t size;
  std::size_t pos;
};

struct PngHeader {
  png_uint_32 width;
  png_uint_32 height;
};

void ReadFromBlock(png_structp png, png_bytep out, png_size_t count) {
  PngSource* src = static_cast<PngSource*>(png_get_io_ptr(png));
  if (count > src->size - src->pos) png_error(png, "truncated");
  std::memcpy(out, src->bytes + src->pos, count);
  src->pos += count;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Bad files are an expected input: fail quietly (back to the setjmp) instead of
// printing every complaint.
void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Asks for the transformations that turn any PNG into bytes alpha, red, green,
// blue per pixel.
void RequestArgb(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (trns) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  const bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || trns;
  if (alpha) {
    png_set_swap_alpha(png);
  } else {
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

bool ReadHeader(png_structp png, png_infop info, PngHeader* header) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  header->width = png_get_image_width(png, info);
  header->height = png_get_image_height(png, info);
  if (header->width == 0 || header->height == 0 || header->width > png_uint_32(kPngMaxSide) ||
      header->height > png_uint_32(kPngMaxSide) ||
      (long long)header->width * header->height > kPngMaxPixels) {
    return false;
  }
  RequestArgb(png, info);
  return png_get_rowbytes(png, info) == png_size_t(header->width) * 4;
}

bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

void BytesToPixels(RasterBitmap* surface) {
  const int w = surface->GetWidth();
  const int h = surface->GetHeight();
  for (int y = 0; y < h; ++y) {
    RasterPixel* row = surface->GetBits() + std::size_t(y) * std::size_t(surface->GetRowSpan());
    unsigned char* b = reinterpret_cast<unsigned char*>(row);
    for (int x = 0; x < w; ++x, b += 4) {
      row[x] = RasterPixel(b[0]) << 24 | RasterPixel(b[1]) << 16 | RasterPixel(b[2]) << 8 | b[3];
    }
  }
}

RasterBitmap* TargetSurface(RasterBitmap* destination, int w, int h) {
  if (destination == nullptr) {
    MemBitmap* surface = new MemBitmap(w, h);
    if (surface->GetBits() != nullptr) return surface;
    delete surface;
    return nullptr;
  }
  destination->Resize(w, h);
  if (destination->GetWidth() != w || destination->GetHeight() != h ||
      destination->GetBits() == nullptr) {
    return nullptr;
  }
  return destination;
}

bool DecodeInto(png_structp png, png_infop info, RasterBitmap** result, RasterBitmap* destination) {
  PngHeader header{};
  if (!ReadHeader(png, info, &header)) return false;
  const int w = int(header.width);
  const int h = int(header.height);
  RasterBitmap* surface = TargetSurface(destination, w, h);
  if (surface == nullptr) return false;
  std::vector<png_bytep> rows(std::size_t(h), nullptr);
  for (int y = 0; y < h; ++y) {
    const int memRow = surface->IsFlipped() ? h - 1 - y : y;
    rows[std::size_t(y)] = reinterpret_cast<png_bytep>(
        surface->GetBits() + std::size_t(memRow) * std::size_t(surface->GetRowSpan()));
  }
  if (!ReadRows(png, rows.data())) {
    if (surface != destination) delete surface;
    return false;
  }
  *result = surface;
  return true;
}

}  // namespace

RasterBitmap* RasterLoadPngFromMemory(const unsigned char* bytes, std::size_t size,
                                      RasterBitmap* destination) {
  if (bytes == nullptr || size < 8 || png_sig_cmp(bytes, 0, 8) != 0) return nullptr;
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, IgnoreWarning);
  if (png == nullptr) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  // Also bounds what libpng itself allocates for ancillary chunks.
  png_set_user_limits(png, kPngMaxSide, kPngMaxSide);
  png_set_chunk_malloc_max(png, 8u * 1024 * 1024);
  png_set_chunk_cache_max(png, 128);
  // Only the pixels and their transparency matter here. Skipping every other
  // ancillary chunk unread also keeps a forged compressed profile or text
  // chunk from making libpng inflate hundreds of megabytes.
  static const png_byte kIgnored[] =
      "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
      "sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnored, int(sizeof kIgnored / 5));
  PngSource source{bytes, size, 0};
  png_set_read_fn(png, &source, ReadFromBlock);
  RasterBitmap* result = nullptr;
  const bool ok = DecodeInto(png, info, &result, destination);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) return nullptr;
  BytesToPixels(result);
  return result;
}
