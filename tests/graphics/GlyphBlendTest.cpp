// The glyph blend's fast rows against the formula, for every destination
// channel, colour channel and coverage.

#include "graphics/platform/freetype/GlyphBlend.h"

#include <gtest/gtest.h>

#include <vector>

TEST(GlyphBlend, RowsEqualTheFormulaForEveryChannelAndCoverage) {
  // Pixel i holds destination channels i & 255 and (i + 85k) & 255 in the
  // others; its coverage is i >> 8: all 65536 pairs of one channel and coverage.
  std::vector<RasterPixel> base(65536);
  std::vector<unsigned char> coverage(65536);
  for (int i = 0; i < 65536; ++i) {
    const int d = i & 255;
    base[i] = RasterMakePixel((d + 85) & 255, (d + 170) & 255, (d + 43) & 255, d);
    coverage[i] = static_cast<unsigned char>(i >> 8);
  }
  for (int alpha : {255, 254, 128, 1, 0}) {
    for (int s = 0; s < 256; alpha == 255 ? ++s : s += 17) {
      const RasterPixel colour = RasterMakePixel(alpha, s, 255 - s, (s * 7) & 255);
      std::vector<RasterPixel> row = base;
      // Odd offsets and lengths exercise the scalar ends.
      GlyphBlendRow(row.data() + 1, coverage.data() + 1, 65533, colour);
      for (int i = 0; i < 65536; ++i) {
        const RasterPixel want =
            i >= 1 && i < 65534 ? GlyphBlendPixel(base[i], colour, coverage[i]) : base[i];
        ASSERT_EQ(row[i], want) << "alpha " << alpha << " s " << s << " pixel " << i;
      }
    }
  }
}

TEST(GlyphBlend, FormulaKeepsItsFixedPoints) {
  // No coverage leaves the pixel; full coverage of an opaque colour sets it
  // (alpha to 255); half coverage rounds to nearest.
  EXPECT_EQ(GlyphBlendPixel(0x12345678u, 0xFFFFFFFFu, 0), 0x12345678u);
  EXPECT_EQ(GlyphBlendPixel(0x12345678u, 0xFFA0B0C0u, 255), 0xFFA0B0C0u);
  EXPECT_EQ(GlyphBlendPixel(0xFF000000u, 0xFFFFFFFFu, 128), 0xFF808080u);
}
