// RasterScaledBlit and RasterRotatedBlit: sampling values, the unscaled
// shortcut, mirroring and clipping.

#include <gtest/gtest.h>

#include <cmath>

#include "raster/RasterBlit.h"
#include "raster/RasterRotatedBlit.h"
#include "raster/RasterScaledBlit.h"
#include "raster/RasterSurface.h"
#include "tests/raster/RasterTestSupport.h"

using raster_test::GuardedBitmap;
using raster_test::Snapshot;

namespace {

void FillPattern(GuardedBitmap& g) {
  for (int y = 0; y < g.GetHeight(); ++y)
    for (int x = 0; x < g.GetWidth(); ++x)
      g.Set(
          x, y,
          RasterMakePixel(255, (x * 37 + y * 11) & 0xFF, (x * x + y * 5) & 0xFF, (y * 53) & 0xFF));
}

}  // namespace

TEST(RasterScaledBlit, BilinearOfUniformWhiteIs254) {
  GuardedBitmap src(8, 8, false, 0xFFFFFFFFu), dst(20, 20, false, 0u);
  RasterScaledBlit(&dst, &src, 0, 0, 20, 20, 0.0f, 0.0f, 8.0f, 8.0f, 1.0f,
                   BLIT_COPY | BLIT_FILTER_BILINEAR);
  // Four-tap and two-tap weights sum to 65535: 255 x 65535 / 65536 = 254. The
  // first row and column sit on whole source positions (fraction 0): still 254,
  // since the top-left weight is 65535.
  EXPECT_EQ(dst.At(5, 5), 0xFEFEFEFEu);
  EXPECT_EQ(dst.At(0, 0), 0xFEFEFEFEu);
  // The last source row and column: only the very corner reads a single pixel.
  EXPECT_EQ(dst.At(19, 19), 0xFFFFFFFFu);
  EXPECT_EQ(dst.CountNot(0u), 400);
  EXPECT_TRUE(dst.GuardsIntact());
}

TEST(RasterScaledBlit, NearestDoublesEachPixel) {
  GuardedBitmap src(3, 2), dst(6, 4, false, 0u);
  FillPattern(src);
  RasterScaledBlit(&dst, &src, 0, 0, 6, 4, 0.0f, 0.0f, 3.0f, 2.0f, 1.0f, BLIT_COPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(dst.At(x, y), src.At(x / 2, y / 2)) << x << "," << y;
}

TEST(RasterScaledBlit, SameSizeDrawsExactlyLikeBlit) {
  GuardedBitmap src(10, 7);
  FillPattern(src);
  for (int mode : {BLIT_COPY, BLIT_COPY | BLIT_FILTER_BILINEAR, BLIT_ADD | BLIT_USE_ALPHA}) {
    GuardedBitmap a(12, 9, false, 0x20406080u), b(12, 9, false, 0x20406080u);
    RasterScaledBlit(&a, &src, 3, -1, 6, 5, 2.0f, 1.0f, 6.0005f, 5.0f, 0.8f, mode);
    const RasterBox box{2, 1, 8, 6};
    RasterBlit(&b, &src, 3, -1, &box, 0.8f, mode);
    EXPECT_EQ(Snapshot(&a), Snapshot(&b)) << mode;
  }
  // A fractional offset with bilinear filtering blends instead.
  GuardedBitmap a(12, 9, false, 0u), b(12, 9, false, 0u);
  RasterScaledBlit(&a, &src, 0, 0, 6, 5, 2.5f, 1.0f, 6.0f, 5.0f, 1.0f,
                   BLIT_COPY | BLIT_FILTER_BILINEAR);
  const RasterBox box{2, 1, 8, 6};
  RasterBlit(&b, &src, 0, 0, &box, 1.0f, BLIT_COPY);
  EXPECT_NE(Snapshot(&a), Snapshot(&b));
}

TEST(RasterScaledBlit, NegativeSizeMirrorsTheSameSamples) {
  GuardedBitmap src(5, 4);
  FillPattern(src);
  // Steps of 1/2 are exact in binary, so both directions hit identical positions.
  for (int filter : {BLIT_FILTER_NEAREST, BLIT_FILTER_BILINEAR}) {
    GuardedBitmap plain(12, 10, false, 0u), mirrored(12, 10, false, 0u);
    RasterScaledBlit(&plain, &src, 1, 1, 10, 8, 0.0f, 0.0f, 5.0f, 4.0f, 1.0f, BLIT_COPY | filter);
    // x + dstW and y + dstH name the far corner when the sizes are negative.
    RasterScaledBlit(&mirrored, &src, 11, 9, -10, -8, 0.0f, 0.0f, 5.0f, 4.0f, 1.0f,
                     BLIT_COPY | filter);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 10; ++x)
        ASSERT_EQ(mirrored.At(1 + x, 1 + y), plain.At(10 - x, 8 - y))
            << filter << " " << x << "," << y;
    EXPECT_EQ(mirrored.CountNot(0u), 80);
  }
}

TEST(RasterScaledBlit, ClipsAtEveryEdgeAndRespectsSourceLimits) {
  GuardedBitmap src(4, 4, false, 0xFFFFFFFFu);
  GuardedBitmap dst(10, 10, /*flipped=*/true, 0u);
  RasterScaledBlit(&dst, &src, -5, -5, 30, 30, 0.0f, 0.0f, 4.0f, 4.0f, 1.0f, BLIT_COPY);
  EXPECT_EQ(dst.CountNot(0xFFFFFFFFu), 0);
  EXPECT_TRUE(dst.GuardsIntact());
  // A source rectangle reaching past the source reads nothing there.
  GuardedBitmap part(8, 8, false, 0u);
  RasterScaledBlit(&part, &src, 0, 0, 8, 8, 2.0f, 2.0f, 4.0f, 4.0f, 1.0f, BLIT_COPY);
  EXPECT_EQ(part.At(3, 3), 0xFFFFFFFFu);
  EXPECT_EQ(part.At(4, 3), 0u);
  EXPECT_EQ(part.CountNot(0u), 16);
}

TEST(RasterRotatedBlit, ZeroAngleMatchesScaledNearest) {
  GuardedBitmap src(6, 6);
  FillPattern(src);
  GuardedBitmap a(12, 12, false, 0u), b(12, 12, false, 0u);
  RasterRotatedBlit(&a, &src, 0, 0, 12, 12, 0.0f, 0.0f, 6.0f, 6.0f, 0.0f, true, 1.0f, BLIT_COPY,
                    0.0f, 0.0f);
  RasterScaledBlit(&b, &src, 0, 0, 12, 12, 0.0f, 0.0f, 6.0f, 6.0f, 1.0f, BLIT_COPY);
  EXPECT_EQ(Snapshot(&a), Snapshot(&b));
}

TEST(RasterRotatedBlit, QuarterTurnSamplesAtPixelCorners) {
  GuardedBitmap src(4, 4);
  FillPattern(src);
  GuardedBitmap dst(4, 4, false, 0x12345678u);
  RasterRotatedBlit(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 1.5707964f, true, 1.0f,
                    BLIT_COPY, 0.0f, 0.0f);
  // Per column the source moves (cos, -sin) = (0, -1), per row (sin, cos) = (1, 0),
  // starting from (0, 4): destination (i, j) reads source (j, 4 - i), a clockwise
  // turn. Positions are pixel corners, so column 0 reads row 4, outside the source.
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(dst.At(0, j), 0x12345678u);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(dst.At(i, j), src.At(j, 4 - i)) << i << "," << j;
  }

  // A 45-degree turn of a small square in a larger frame leaves the frame's corners alone.
  GuardedBitmap big(16, 16, false, 0x12345678u);
  RasterClear(&src, 0xFF000000u);
  RasterRotatedBlit(&big, &src, 0, 0, 16, 16, 0.0f, 0.0f, 4.0f, 4.0f, 0.785398f, true, 1.0f,
                    BLIT_COPY | BLIT_FILTER_BILINEAR, 0.0f, 0.0f);
  EXPECT_EQ(big.At(0, 0), 0x12345678u);
  EXPECT_EQ(big.At(15, 15), 0x12345678u);
  EXPECT_NE(big.At(8, 8), 0x12345678u);
  EXPECT_TRUE(big.GuardsIntact());
}
