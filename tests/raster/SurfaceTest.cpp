// MemBitmap, DibBitmap and the whole-surface operations.

#include <gtest/gtest.h>

#include <climits>

#include "raster/DibBitmap.h"
#include "raster/MemBitmap.h"
#include "raster/RasterSurface.h"
#include "tests/raster/RasterTestSupport.h"

using raster_test::GuardedBitmap;

TEST(MemBitmap, AllocatesOnlyForPositiveSizes) {
  MemBitmap empty;
  EXPECT_EQ(empty.GetBits(), nullptr);
  EXPECT_EQ(empty.GetWidth(), 0);

  MemBitmap m(7, 3);
  ASSERT_NE(m.GetBits(), nullptr);
  EXPECT_EQ(m.GetRowSpan(), 7);
  EXPECT_FALSE(m.IsFlipped());
  EXPECT_EQ(m.GetDC(), nullptr);

  MemBitmap zero(0, 5);
  EXPECT_EQ(zero.GetBits(), nullptr);
  RasterClear(&zero, 0xFFFFFFFFu);  // must not touch anything
  EXPECT_EQ(RasterGetPixel(&zero, 0, 0), 0u);

  // Two negative sizes multiply to a positive area; that must not allocate.
  MemBitmap negative(-4, -4);
  EXPECT_EQ(negative.GetBits(), nullptr);
  MemBitmap huge(INT_MAX, INT_MAX);
  EXPECT_EQ(huge.GetBits(), nullptr);
}

TEST(MemBitmap, ResizeKeepsBytesAndReportsChange) {
  MemBitmap m(4, 2);
  for (int i = 0; i < 8; ++i) m.GetBits()[i] = RasterPixel(i + 1);
  EXPECT_FALSE(m.Resize(4, 2));
  EXPECT_EQ(m.GetBits()[7], 8u);

  // Bytewise survival: the first 8 pixels stay in memory order, not re-laid by row.
  ASSERT_TRUE(m.Resize(2, 6));
  ASSERT_NE(m.GetBits(), nullptr);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(m.GetBits()[i], RasterPixel(i + 1));

  EXPECT_TRUE(m.Resize(0, 6));
  EXPECT_EQ(m.GetBits(), nullptr);
  EXPECT_TRUE(m.Resize(3, 3));
  EXPECT_NE(m.GetBits(), nullptr);
  EXPECT_TRUE(m.Resize(-3, 3));
  EXPECT_EQ(m.GetBits(), nullptr);
}

TEST(DibBitmap, TopDownZeroFilledAndZeroSizeKeepsStorage) {
  DibBitmap d(5, 4);
  ASSERT_NE(d.GetBits(), nullptr);
  EXPECT_FALSE(d.IsFlipped());
  EXPECT_EQ(d.GetRowSpan(), 5);
  EXPECT_EQ(RasterGetPixel(&d, 4, 3), 0u);

  // The first pixel in memory is the picture's top-left pixel.
  d.GetBits()[0] = 0x11223344u;
  EXPECT_EQ(RasterGetPixel(&d, 0, 0), 0x11223344u);

  EXPECT_FALSE(d.Resize(5, 4));
  RasterPixel* before = d.GetBits();
  EXPECT_FALSE(d.Resize(0, 4));
  EXPECT_EQ(d.GetWidth(), 0);
  EXPECT_EQ(d.GetBits(), before);
  RasterClear(&d, 0xFFFFFFFFu);  // width 0: nothing to draw
  EXPECT_TRUE(d.Resize(8, 8));
  ASSERT_NE(d.GetBits(), nullptr);
  RasterClear(&d, 0x01020304u);
  EXPECT_EQ(RasterGetPixel(&d, 7, 7), 0x01020304u);

  DibBitmap bad(-5, 5);
  EXPECT_EQ(bad.GetBits(), nullptr);
}

TEST(RasterSurface, ClearAndGetPixelRespectBoundsAndFlip) {
  GuardedBitmap g(6, 4, /*flipped=*/true);
  RasterClear(&g, 0xDEADBEEFu);
  EXPECT_EQ(g.CountNot(0xDEADBEEFu), 0);
  EXPECT_TRUE(g.GuardsIntact());

  g.Set(1, 0, 0x12345678u);  // picture row 0 is the last memory row
  EXPECT_EQ(RasterGetPixel(&g, 1, 0), 0x12345678u);
  EXPECT_EQ(g.GetBits()[3 * g.GetRowSpan() + 1], 0x12345678u);

  EXPECT_EQ(RasterGetPixel(&g, 6, 0), 0u);
  EXPECT_EQ(RasterGetPixel(&g, 0, 4), 0u);
  EXPECT_EQ(RasterGetPixel(&g, -1, 0), 0u);
  EXPECT_EQ(RasterGetPixel(&g, INT_MIN, INT_MAX), 0u);
  EXPECT_EQ(RasterGetPixel(nullptr, 0, 0), 0u);
  RasterClear(nullptr, 0);
}

TEST(RasterSurface, MaskOrClipsIncludingOverflowingRectangles) {
  GuardedBitmap g(5, 5, false, 0xFF808080u);
  RasterMaskOr(&g, -2, -2, 4, 4, 0x00FFFFFFu, 0);
  EXPECT_EQ(g.At(0, 0), 0x00808080u);
  EXPECT_EQ(g.At(1, 1), 0x00808080u);
  EXPECT_EQ(g.At(2, 2), 0xFF808080u);
  EXPECT_EQ(g.At(2, 0), 0xFF808080u);

  RasterMaskOr(&g, 3, 4, INT_MAX, INT_MAX, 0xFFFFFFFFu, 0x000000FFu);
  EXPECT_EQ(g.At(4, 4), 0xFF8080FFu);
  EXPECT_EQ(g.At(2, 4), 0xFF808080u);
  RasterMaskOr(&g, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0);  // ends far left of the surface
  RasterMaskOr(&g, INT_MAX, 0, 10, 10, 0, 0);
  RasterMaskOr(&g, 0, 0, -3, 5, 0, 0);
  RasterMaskOr(nullptr, 0, 0, 5, 5, 0, 0);
  EXPECT_TRUE(g.GuardsIntact());
  EXPECT_EQ(g.At(3, 3), 0xFF808080u);

  // A rectangle starting left of the surface with a huge size covers it all.
  RasterMaskOr(&g, -100, -100, INT_MAX, INT_MAX, 0, 0);
  EXPECT_EQ(g.CountNot(0u), 0);
  EXPECT_TRUE(g.GuardsIntact());
}
