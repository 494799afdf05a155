// RasterFillRect, RasterBlit, RasterBlitRegion and RasterCopy: clipping, the
// channel copy, the memory-copy path and flipped surfaces.

#include <gtest/gtest.h>

#include <climits>

#include "raster/MemBitmap.h"
#include "raster/RasterBlit.h"
#include "raster/RasterSurface.h"
#include "tests/raster/RasterTestSupport.h"

using raster_test::GuardedBitmap;

namespace {

// A source whose every pixel names its position: 0xFF00xxyy.
void FillNumbered(GuardedBitmap& g) {
  for (int y = 0; y < g.GetHeight(); ++y)
    for (int x = 0; x < g.GetWidth(); ++x)
      g.Set(x, y, 0xFF000000u | RasterPixel(x << 8) | RasterPixel(y));
}

RasterPixel Numbered(int x, int y) { return 0xFF000000u | RasterPixel(x << 8) | RasterPixel(y); }

}  // namespace

TEST(RasterFillRect, CopyAtFullWeightSetsOpaqueColourAndClips) {
  GuardedBitmap g(8, 6, false, 0x00000000u);
  RasterFillRect(&g, -3, 4, 5, 100, 0x00123456u, 1.0f, BLIT_COPY);
  EXPECT_EQ(g.At(0, 4), 0xFF123456u);
  EXPECT_EQ(g.At(1, 5), 0xFF123456u);
  EXPECT_EQ(g.At(2, 5), 0u);
  EXPECT_EQ(g.At(0, 3), 0u);
  EXPECT_EQ(g.CountNot(0u), 4);
  EXPECT_TRUE(g.GuardsIntact());
}

TEST(RasterFillRect, WeightStandsInForSourceAlphaAndAlphaFoldsIntoWeight) {
  GuardedBitmap g(2, 1, false, 0xFF000000u);
  // Half weight: colour channels 255 x 128 / 256 = 127; alpha (255 x 128 + 128 x 128) / 256 = 191.
  RasterFillRect(&g, 0, 0, 1, 1, 0x00FFFFFFu, 0.5f, BLIT_COPY);
  EXPECT_EQ(g.At(0, 0), RasterMakePixel(191, 127, 127, 127));
  // With the flag, an alpha of 0 folds the weight to 0: copy then leaves the pixel.
  RasterFillRect(&g, 1, 0, 1, 1, 0x00FFFFFFu, 1.0f, BLIT_COPY | BLIT_USE_ALPHA);
  EXPECT_EQ(g.At(1, 0), 0xFF000000u);
  // Alpha 255 folds to weight 1.0 exactly as without the flag.
  RasterFillRect(&g, 1, 0, 1, 1, 0xFF204060u, 1.0f, BLIT_COPY | BLIT_USE_ALPHA);
  EXPECT_EQ(g.At(1, 0), 0xFF204060u);
}

TEST(RasterFillRect, AddDodgeAndFlippedRows) {
  GuardedBitmap g(4, 4, /*flipped=*/true, 0xFF102030u);
  RasterFillRect(&g, 1, 0, 2, 1, 0x00010101u, 1.0f, BLIT_ADD);
  EXPECT_EQ(g.At(1, 0), 0xFF112131u);  // picture row 0 of a flipped surface
  EXPECT_EQ(g.GetBits()[3 * g.GetRowSpan() + 1], 0xFF112131u);
  EXPECT_EQ(g.At(1, 3), 0xFF102030u);
  RasterFillRect(&g, 0, 3, 1, 1, 0x00FFFFFFu, 1.0f, BLIT_DODGE);
  EXPECT_EQ(g.At(0, 3), 0xFFFFFFFFu);
  RasterFillRect(&g, 0, 0, 4, 4, 0xFFFFFFFFu, 1.0f, 9);
  EXPECT_EQ(g.At(3, 3), 0xFF102030u);
  EXPECT_TRUE(g.GuardsIntact());
}

// Long runs take the string-store path: whole-width rectangles as one run over
// packed rows (top-down and bottom-up), wide rectangles row by row, and
// RasterClear; every pixel outside the rectangle keeps its value.
TEST(RasterFillRect, LongRunsFillExactlyTheRectangle) {
  const RasterPixel before = 0x11223344u, colour = 0x00ABCDEFu;
  const auto check = [&](GuardedBitmap& g, int x, int y, int w, int h) {
    for (int py = 0; py < g.GetHeight(); ++py)
      for (int px = 0; px < g.GetWidth(); ++px) {
        const bool inside = px >= x && px < x + w && py >= y && py < y + h;
        ASSERT_EQ(g.At(px, py), inside ? colour | 0xFF000000u : before) << px << "," << py;
      }
    EXPECT_TRUE(g.GuardsIntact());
  };
  for (bool flipped : {false, true})
    for (bool packed : {false, true}) {
      GuardedBitmap whole(300, 9, flipped, before, packed);
      RasterFillRect(&whole, -5, 2, 400, 5, colour, 1.0f, BLIT_COPY);
      check(whole, 0, 2, 300, 5);
      GuardedBitmap wide(300, 9, flipped, before, packed);
      RasterFillRect(&wide, 7, 1, 290, 7, colour, 1.0f, BLIT_COPY);
      check(wide, 7, 1, 290, 7);
      GuardedBitmap cleared(300, 3, flipped, before, packed);
      RasterClear(&cleared, colour | 0xFF000000u);
      check(cleared, 0, 0, 300, 3);
    }
}

TEST(RasterBlit, NegativeOffsetDrawsTheRightPartAtTheLeftEdge) {
  GuardedBitmap src(5, 4), dst(6, 6, false, 0u);
  FillNumbered(src);
  RasterBlit(&dst, &src, -2, -1, nullptr, 1.0f, BLIT_COPY);
  EXPECT_EQ(dst.At(0, 0), Numbered(2, 1));
  EXPECT_EQ(dst.At(2, 2), Numbered(4, 3));
  EXPECT_EQ(dst.At(3, 0), 0u);
  EXPECT_EQ(dst.At(0, 3), 0u);
  EXPECT_EQ(dst.CountNot(0u), 9);
  EXPECT_TRUE(dst.GuardsIntact());
}

TEST(RasterBlit, SourceBoxIsClampedAndCutToTheDestination) {
  GuardedBitmap src(5, 5), dst(4, 4, false, 0u);
  FillNumbered(src);
  const RasterBox box{-10, 3, 100, INT_MAX};
  RasterBlit(&dst, &src, 1, 2, &box, 1.0f, BLIT_COPY);
  EXPECT_EQ(dst.At(1, 2), Numbered(0, 3));
  EXPECT_EQ(dst.At(3, 3), Numbered(2, 4));
  EXPECT_EQ(dst.CountNot(0u), 6);
  RasterBlitRegion(&dst, &src, 0, 0, 4, 4, INT_MAX, INT_MAX, 1.0f, BLIT_COPY);
  EXPECT_EQ(dst.At(0, 0), Numbered(4, 4));
  RasterBlitRegion(&dst, &src, INT_MIN, INT_MIN, 0, 0, INT_MAX, INT_MAX, 1.0f, BLIT_COPY);
  RasterBlitRegion(&dst, &src, INT_MAX, INT_MAX, INT_MIN, INT_MIN, -5, 5, 1.0f, BLIT_COPY);
  EXPECT_EQ(dst.CountNot(0u), 7);
  EXPECT_TRUE(dst.GuardsIntact());
}

TEST(RasterBlit, BlendPathsAgreeWithPutPixel) {
  GuardedBitmap src(9, 3), dst(9, 3, false, 0x80604020u);
  for (int x = 0; x < 9; ++x)
    for (int y = 0; y < 3; ++y)
      src.Set(x, y, RasterMakePixel(x * 30, 255 - x * 20, y * 90, x * 7 + y));
  for (int mode : {BLIT_COPY, BLIT_ADD, BLIT_DODGE, BLIT_COPY | BLIT_USE_ALPHA,
                   BLIT_ADD | BLIT_USE_ALPHA, BLIT_DODGE | BLIT_USE_ALPHA}) {
    for (float weight : {1.0f, 0.37f, -0.6f}) {
      GuardedBitmap expected(9, 3, false, 0x80604020u), got(9, 3, false, 0x80604020u);
      for (int x = 0; x < 9; ++x)
        for (int y = 0; y < 3; ++y) RasterPutPixel(&expected, x, y, src.At(x, y), weight, mode);
      RasterBlit(&got, &src, 0, 0, nullptr, weight, mode);
      EXPECT_EQ(raster_test::Snapshot(&got), raster_test::Snapshot(&expected))
          << mode << " " << weight;
    }
  }
  (void)dst;
}

TEST(RasterBlit, ChannelCopyMovesOneByte) {
  GuardedBitmap src(2, 1), dst(2, 1, false, 0x11223344u);
  src.Set(0, 0, 0xAABBCCDDu);
  src.Set(1, 0, 0x00000000u);
  RasterBlit(&dst, &src, 0, 0, nullptr, 0.0f,
             BlitChannelCopy(BLIT_CHANNEL_GREEN, BLIT_CHANNEL_ALPHA));
  EXPECT_EQ(dst.At(0, 0), 0xCC223344u);  // weight is ignored
  EXPECT_EQ(dst.At(1, 0), 0x00223344u);
  RasterBlit(&dst, &src, 0, 0, nullptr, 1.0f,
             BlitChannelCopy(BLIT_CHANNEL_ALPHA, BLIT_CHANNEL_BLUE));
  EXPECT_EQ(dst.At(0, 0), 0xCC2233AAu);
}

TEST(RasterBlit, FlippedSurfacesCopyInPictureOrder) {
  for (bool srcFlipped : {false, true})
    for (bool dstFlipped : {false, true}) {
      GuardedBitmap src(4, 3, srcFlipped), dst(5, 5, dstFlipped, 0u);
      FillNumbered(src);
      RasterBlit(&dst, &src, 1, 1, nullptr, 1.0f, BLIT_COPY);    // memory-copy path
      RasterBlit(&dst, &src, 1, 4, nullptr, 0.999f, BLIT_COPY);  // per-pixel path
      EXPECT_EQ(dst.At(1, 1), Numbered(0, 0));
      EXPECT_EQ(dst.At(4, 3), Numbered(3, 2));
      EXPECT_NE(dst.At(1, 4), 0u);
      EXPECT_EQ(dst.At(0, 0), 0u);
      EXPECT_TRUE(dst.GuardsIntact());
    }
}

TEST(RasterCopy, ResizesAndCopiesExactly) {
  GuardedBitmap src(7, 5);
  FillNumbered(src);
  MemBitmap dst;
  RasterCopy(&dst, &src);
  ASSERT_EQ(dst.GetWidth(), 7);
  ASSERT_EQ(dst.GetHeight(), 5);
  EXPECT_EQ(raster_test::Snapshot(&dst), raster_test::Snapshot(&src));
  RasterCopy(&dst, nullptr);
  RasterCopy(nullptr, &src);
  MemBitmap empty;
  RasterCopy(&dst, &empty);
  EXPECT_EQ(dst.GetBits(), nullptr);
}

TEST(RasterBlit, OntoItselfWithOverlapCopiesTheOriginalPixels) {
  GuardedBitmap g(40, 3);
  FillNumbered(g);
  RasterBlit(&g, &g, 3, 0, nullptr, 1.0f, BLIT_COPY);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(g.At(x, y), Numbered(x, y));
    for (int x = 3; x < 40; ++x) ASSERT_EQ(g.At(x, y), Numbered(x - 3, y)) << x << "," << y;
  }
  EXPECT_TRUE(g.GuardsIntact());
}

// Scrolling a picture inside its own surface moves rows up or down as well.
TEST(RasterBlit, OntoItselfMovingRowsDownOrUpCopiesTheOriginalPixels) {
  for (const bool flipped : {false, true}) {
    for (const int shift : {1, 3, -2}) {
      GuardedBitmap g(6, 10, flipped);
      FillNumbered(g);
      RasterBlit(&g, &g, 0, shift, nullptr, 1.0f, BLIT_COPY);
      for (int y = 0; y < 10; ++y) {
        const int from = y - shift;
        const RasterPixel want = from >= 0 && from < 10 ? Numbered(2, from) : Numbered(2, y);
        ASSERT_EQ(g.At(2, y), want)
            << "shift " << shift << ", row " << y << ", flipped " << flipped;
      }
      EXPECT_TRUE(g.GuardsIntact());
    }
  }
}

// The blending paths read every source pixel before the blit can overwrite it.
TEST(RasterBlit, OntoItselfBlendingReadsTheOriginalPixels) {
  struct Move {
    int dx, dy;
  };
  for (const Move m : {Move{2, 0}, Move{-2, 0}, Move{0, 2}, Move{1, -1}}) {
    for (const int mode : {BLIT_ADD, BLIT_COPY | BLIT_USE_ALPHA,
                           BlitChannelCopy(BLIT_CHANNEL_GREEN, BLIT_CHANNEL_BLUE)}) {
      GuardedBitmap g(8, 8);
      GuardedBitmap expected(8, 8);
      GuardedBitmap original(8, 8);
      FillNumbered(g);
      FillNumbered(expected);
      FillNumbered(original);
      RasterBlit(&g, &g, m.dx, m.dy, nullptr, 0.5f, mode);
      RasterBlit(&expected, &original, m.dx, m.dy, nullptr, 0.5f, mode);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          ASSERT_EQ(g.At(x, y), expected.At(x, y))
              << "move " << m.dx << "," << m.dy << " mode " << mode << " at " << x << "," << y;
      EXPECT_TRUE(g.GuardsIntact());
    }
  }
}
