#pragma once
// How the X server wants the pixels of the editor window: bits per pixel, byte
// order and the colour masks of the window's visual. The editor's surface holds
// 0xAARRGGBB words; on the usual depth-24 TrueColor screen with 32 bits per pixel
// and least significant byte first that is already the server's layout, and rows
// are sent as they are. Other layouts (16-bit screens, 30-bit colour, a server
// on a big-endian machine) are converted row by row.
#include <cstdint>

#include "raster/RasterPixel.h"

struct X11PixelFormat {
  int bitsPerPixel = 32;  // 16, 24 or 32
  int scanlinePad = 32;   // rows are padded to a multiple of this many bits
  bool lsbFirst = true;   // the server's image byte order
  std::uint32_t redMask = 0xFF0000;
  std::uint32_t greenMask = 0x00FF00;
  std::uint32_t blueMask = 0x0000FF;

  // Rows of the surface can be sent unchanged.
  bool IsNative() const;
  // A layout ConvertRow can produce: 16, 24 or 32 bits and three non-empty masks.
  bool Supported() const;
  int BytesPerPixel() const { return bitsPerPixel / 8; }
  // Bytes of one padded row of width pixels.
  int RowBytes(int width) const;
  // Writes count pixels of src in this layout to dst (count x BytesPerPixel bytes).
  void ConvertRow(const RasterPixel* src, int count, std::uint8_t* dst) const;
};
