#include "graphics/platform/x11/X11PixelFormat.h"

namespace {

struct MaskPlace {
  int shift = 0;  // lowest set bit
  int bits = 0;   // number of set bits
};

MaskPlace PlaceOf(std::uint32_t mask) {
  MaskPlace p;
  if (mask == 0) return p;
  while (((mask >> p.shift) & 1u) == 0) ++p.shift;
  while (p.shift + p.bits < 32 && ((mask >> (p.shift + p.bits)) & 1u) != 0) ++p.bits;
  return p;
}

// An 8-bit channel widened or narrowed to the mask's width. Widening repeats the
// top bits, so 255 becomes all ones (full intensity) at any depth.
std::uint32_t ScaleChannel(int value, MaskPlace place) {
  std::uint32_t v = std::uint32_t(value);
  if (place.bits <= 8) {
    v >>= 8 - place.bits;
  } else {
    std::uint32_t wide = 0;
    int filled = 0;
    while (filled < place.bits) {
      wide = (wide << 8) | v;
      filled += 8;
    }
    v = wide >> (filled - place.bits);
  }
  return v << place.shift;
}

}  // namespace

bool X11PixelFormat::IsNative() const {
  return bitsPerPixel == 32 && lsbFirst && redMask == 0xFF0000 && greenMask == 0x00FF00 &&
         blueMask == 0x0000FF;
}

bool X11PixelFormat::Supported() const {
  const bool depthOk = bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
  const bool padOk = scanlinePad == 8 || scanlinePad == 16 || scanlinePad == 32;
  return depthOk && padOk && redMask != 0 && greenMask != 0 && blueMask != 0;
}

int X11PixelFormat::RowBytes(int width) const {
  const int bits = width * bitsPerPixel;
  return (bits + scanlinePad - 1) / scanlinePad * scanlinePad / 8;
}

void X11PixelFormat::ConvertRow(const RasterPixel* src, int count, std::uint8_t* dst) const {
  const MaskPlace red = PlaceOf(redMask);
  const MaskPlace green = PlaceOf(greenMask);
  const MaskPlace blue = PlaceOf(blueMask);
  const int bytes = BytesPerPixel();
  for (int i = 0; i < count; ++i) {
    const RasterPixel p = src[i];
    const std::uint32_t v = ScaleChannel(RasterRed(p), red) | ScaleChannel(RasterGreen(p), green) |
                            ScaleChannel(RasterBlue(p), blue);
    for (int b = 0; b < bytes; ++b) {
      const int shift = lsbFirst ? 8 * b : 8 * (bytes - 1 - b);
      dst[b] = std::uint8_t(v >> shift);
    }
    dst += bytes;
  }
}
