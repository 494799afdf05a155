#pragma once
// GDI text for the editor: the font a text style asks for, and the pixels a
// DrawTextA call of the editor's kind (one line, DT_NOCLIP, aligned left, centred
// or right in its box) touches with the font selected into a device context.
// Everything here runs on the editor's GUI thread. Handles are passed as void*
// (HDC, HFONT), as in the editor's class, which keeps windows.h to its sources.
#include <string>
#include <vector>

#include "graphics/IBox.h"
#include "graphics/IFontSpec.h"

namespace win32 {

// The font for style; null when GDI cannot make it. The caller deletes it.
void* CreateTextFont(const IFontSpec& style);

// Where DrawTextA starts text's line in box for this alignment.
int LineStart(void* dc, const char* text, int align, IBox box);

// The pixels text touches when DrawTextA draws it with dc's font, relative to the
// start of its line at the top of its cell; empty for null or empty text. Found
// by drawing it: glyph metrics alone miss how a GDI lays out and smooths a line.
IBox DrawnInk(void* dc, const char* text);

// DrawnInk of the texts last measured in one font, each drawn once.
class TextInkCache {
 public:
  IBox Ink(void* dc, const char* text);
  void Clear();

 private:
  struct Entry {
    std::string text;
    IBox ink;
  };
  static constexpr std::size_t kEntries = 64;
  std::vector<Entry> entries_;
  std::size_t next_ = 0;  // the entry replaced next once all are used
};

// ink (relative to its line's start) placed for text in box.
IBox PlaceInk(void* dc, IBox ink, const char* text, int align, IBox box);

}  // namespace win32
