// DibBitmap on Windows: a 32-bit top-down DIB section selected into a memory
// device context compatible with the screen, so the window can BitBlt from it.

#include "raster/DibBitmap.h"

#include <windows.h>

#include "raster/RasterStorage.h"

DibBitmap::DibBitmap(int w, int h) {
  dc = CreateCompatibleDC(nullptr);
  Resize(w, h);
}

DibBitmap::~DibBitmap() {
  ReleaseSection();
  if (dc) DeleteDC(static_cast<HDC>(dc));
}

void DibBitmap::ReleaseSection() {
  // The section must be deselected before it can be deleted.
  if (previous) {
    SelectObject(static_cast<HDC>(dc), static_cast<HGDIOBJ>(previous));
    previous = nullptr;
  }
  if (section) {
    DeleteObject(static_cast<HGDIOBJ>(section));
    section = nullptr;
  }
  bits = nullptr;
}

bool DibBitmap::Resize(int w, int h) {
  if (w == width && h == height) return false;
  width = w;
  height = h;
  // A zero size keeps the old section alive until a real size arrives.
  if (w == 0 || h == 0) return false;
  ReleaseSection();
  // Negative or oversized requests get no section rather than a GDI error.
  if (RasterStorageBytes(w, h) == 0) return true;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = IsFlipped() ? h : -h;  // negative height: top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;

  void* pixels = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!dib) return true;  // bits stay null: every drawing routine then does nothing
  section = dib;
  bits = static_cast<RasterPixel*>(pixels);
  if (dc) previous = SelectObject(static_cast<HDC>(dc), dib);
  return true;
}
