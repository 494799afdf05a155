#include "graphics/platform/win32/Win32Text.h"

#include <windows.h>

#include <algorithm>

namespace win32 {

namespace {

// DrawTextA without DT_NOPREFIX shows "&&" as "&" and takes a single "&" as the
// mark of the next character; a last "&" is shown as it is.
std::string ShownText(const char* text) {
  std::string shown;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '&' && c[1] != '\0') ++c;
    shown += *c;
  }
  return shown;
}

SIZE LineExtent(HDC dc, const char* text) {
  const std::string line = ShownText(text);
  SIZE extent = {};
  GetTextExtentPoint32A(dc, line.data(), int(line.size()), &extent);
  return extent;
}

// A 32-bit surface of width x height for drawing on, cleared to black.
struct Scratch {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  const DWORD* pixels = nullptr;

  Scratch(HDC like, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(like);
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc != nullptr && bitmap != nullptr) {
      previousBitmap = SelectObject(dc, bitmap);
      pixels = static_cast<const DWORD*>(bits);
    }
  }
  ~Scratch() {
    if (previousBitmap != nullptr) SelectObject(dc, previousBitmap);
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (dc != nullptr) DeleteDC(dc);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
};

}  // namespace

void* CreateTextFont(const IFontSpec& style) {
  const int angle = style.orientation * 10;
  return CreateFontA(style.size, 0, angle, angle, (style.style & IFONT_BOLD) ? FW_BOLD : 0,
                     (style.style & IFONT_ITALIC) ? TRUE : FALSE, FALSE, FALSE, 0, 0, 0, 0, 0,
                     style.face);
}

int LineStart(void* dc, const char* text, int align, IBox box) {
  if (align != IALIGN_CENTER && align != IALIGN_RIGHT) return box.left;
  const int width = int(LineExtent(static_cast<HDC>(dc), text).cx);
  return align == IALIGN_CENTER ? (box.left + box.right - width) / 2 : box.right - width;
}

IBox DrawnInk(void* surfaceDc, const char* text) {
  HDC dc = static_cast<HDC>(surfaceDc);
  if (dc == nullptr || text == nullptr || text[0] == '\0') return IBox{};
  const SIZE extent = LineExtent(dc, text);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  const int cellHeight = int(metrics.tmHeight);
  if (extent.cx <= 0 || cellHeight <= 0) return IBox{};
  // Room around the line's cell for glyphs that reach out of it (italics, accents).
  const int margin = cellHeight + 2;
  const int width = int(extent.cx) + 2 * margin, height = cellHeight + 2 * margin;
  Scratch scratch(dc, width, height);
  if (scratch.pixels == nullptr) return IBox{0, 0, int(extent.cx), cellHeight};  // the cells
  HGDIOBJ previousFont = SelectObject(scratch.dc, GetCurrentObject(dc, OBJ_FONT));
  SetBkMode(scratch.dc, TRANSPARENT);
  SetTextColor(scratch.dc, RGB(255, 255, 255));
  RECT line = {margin, margin, margin + int(extent.cx), margin + cellHeight};
  DrawTextA(scratch.dc, text, lstrlenA(text), &line, DT_NOCLIP);
  GdiFlush();
  int left = width, top = height, right = -1, bottom = -1;
  for (int y = 0; y < height; ++y) {
    const DWORD* row = scratch.pixels + std::size_t(y) * std::size_t(width);
    for (int x = 0; x < width; ++x) {
      if ((row[x] & 0xFFFFFFu) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = y;
    }
  }
  SelectObject(scratch.dc, previousFont);
  if (right < 0) return IBox{};  // only blanks
  return IBox{left - margin, top - margin, right + 1 - margin, bottom + 1 - margin};
}

IBox TextInkCache::Ink(void* dc, const char* text) {
  if (text == nullptr || text[0] == '\0') return IBox{};
  for (const Entry& e : entries_)
    if (e.text == text) return e.ink;
  Entry measured{text, DrawnInk(dc, text)};
  if (entries_.size() < kEntries) {
    entries_.push_back(measured);
  } else {
    entries_[next_] = measured;
    next_ = (next_ + 1) % kEntries;
  }
  return measured.ink;
}

void TextInkCache::Clear() {
  entries_.clear();
  next_ = 0;
}

IBox PlaceInk(void* dc, IBox ink, const char* text, int align, IBox box) {
  if (ink.Empty()) return ink;
  const int x = LineStart(dc, text, align, box), y = box.top;
  return IBox{ink.left + x, ink.top + y, ink.right + x, ink.bottom + y};
}

}  // namespace win32
