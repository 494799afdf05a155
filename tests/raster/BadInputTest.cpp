// Hostile input to every routine: null surfaces, surfaces without storage, zero
// and negative sizes, coordinates near the limits of int and float, NaN and
// infinity. Nothing may be written outside a surface (the guard border of
// GuardedBitmap, plus ASan/UBSan in the sanitizer build).

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "raster/MemBitmap.h"
#include "raster/RasterArc.h"
#include "raster/RasterBlit.h"
#include "raster/RasterLine.h"
#include "raster/RasterRotatedBlit.h"
#include "raster/RasterScaledBlit.h"
#include "raster/RasterSurface.h"
#include "tests/raster/RasterTestSupport.h"

using raster_test::GuardedBitmap;

namespace {

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kMax = std::numeric_limits<float>::max();

std::vector<float> HostileFloats() {
  return {0.0f,   -1.0f, 3.5f,  1e9f, -1e9f, 2147483648.0f, -2147483904.0f, 1e30f,
          -1e30f, kMax,  -kMax, kInf, -kInf, kNaN,          1e-40f};
}

const std::vector<int> kHostileInts{0,    1,       -1,      7,           -7,
                                    1000, INT_MAX, INT_MIN, INT_MAX - 3, INT_MIN + 3};

// Negation that saturates instead of overflowing at INT_MIN.
int Neg(int v) { return v == INT_MIN ? INT_MAX : -v; }

}  // namespace

TEST(RasterBadInput, NullAndEmptySurfacesAreIgnoredEverywhere) {
  MemBitmap empty;
  MemBitmap zero(0, 9);
  GuardedBitmap ok(4, 4, false, 0x01020304u);
  for (RasterBitmap* bad : std::vector<RasterBitmap*>{nullptr, &empty, &zero}) {
    RasterClear(bad, 1);
    RasterMaskOr(bad, 0, 0, 4, 4, 0, 1);
    RasterPutPixel(bad, 0, 0, 1, 1.0f, BLIT_ADD);
    RasterFillRect(bad, 0, 0, 4, 4, 1, 1.0f, BLIT_COPY);
    RasterBlit(bad, &ok, 0, 0, nullptr, 1.0f, BLIT_COPY);
    RasterBlit(&ok, bad, 0, 0, nullptr, 1.0f, BLIT_COPY);
    RasterBlit(&ok, bad, 0, 0, nullptr, 0.5f, BLIT_ADD);
    RasterCopy(&ok, bad);
    RasterScaledBlit(bad, &ok, 0, 0, 8, 8, 0, 0, 4, 4, 1.0f, BLIT_COPY | BLIT_FILTER_BILINEAR);
    RasterScaledBlit(&ok, bad, 0, 0, 8, 8, 0, 0, 4, 4, 1.0f, BLIT_COPY | BLIT_FILTER_BILINEAR);
    RasterRotatedBlit(bad, &ok, 0, 0, 8, 8, 0, 0, 4, 4, 0.3f, true, 1.0f, BLIT_COPY, 0, 0);
    RasterRotatedBlit(&ok, bad, 0, 0, 8, 8, 0, 0, 4, 4, 0.3f, false, 1.0f, BLIT_COPY, 0, 0);
    RasterLine(bad, 0, 0, 3, 2, 1, 1.0f, BLIT_COPY, true);
    RasterArc(bad, 2, 2, 2, 0, 3, 1, 1.0f, BLIT_COPY, true);
    RasterCircle(bad, 2, 2, 2, 1, 1.0f, BLIT_COPY, false);
    EXPECT_EQ(RasterGetPixel(bad, 0, 0), 0u);
  }
  // A destination that cannot take the empty source's size keeps its pixels.
  EXPECT_EQ(ok.CountNot(0x01020304u), 0);
  EXPECT_TRUE(ok.GuardsIntact());
}

TEST(RasterBadInput, IntegerRectanglesNearTheLimits) {
  GuardedBitmap dst(9, 7, true, 0u), src(5, 5, false, 0xFFFFFFFFu);
  for (int a : kHostileInts)
    for (int b : kHostileInts) {
      RasterPutPixel(&dst, a, b, 0xFFFFFFFFu, 1.0f, BLIT_ADD);
      RasterFillRect(&dst, a, b, b, a, 0x80FFFFFFu, 0.5f, BLIT_ADD | BLIT_USE_ALPHA);
      RasterFillRect(&dst, a, Neg(b), INT_MAX, INT_MAX, 0x80FFFFFFu, 0.1f, BLIT_COPY);
      RasterMaskOr(&dst, a, b, a, b, 0xFFFFFFFFu, 1);
      RasterBlit(&dst, &src, a, b, nullptr, 0.3f, BLIT_ADD);
      const RasterBox box{a, b, Neg(a), INT_MAX};
      RasterBlit(&dst, &src, b, a, &box, 1.0f, BLIT_COPY);
      RasterBlitRegion(&dst, &src, a, 1, b, a, b, INT_MAX, 1.0f, BLIT_COPY);
      RasterScaledBlit(&dst, &src, a, b, a, b, 0, 0, 5, 5, 1.0f, BLIT_COPY | BLIT_FILTER_BILINEAR);
      RasterRotatedBlit(&dst, &src, a, b, b, a, 0, 0, 5, 5, 0.7f, true, 1.0f, BLIT_ADD, 0, 0);
    }
  EXPECT_TRUE(dst.GuardsIntact());
  EXPECT_GT(dst.CountNot(0u), 0);
}

TEST(RasterBadInput, FloatCoordinatesIncludingNaNAndInfinity) {
  GuardedBitmap dst(11, 8, false, 0u), src(6, 5, false, 0xFF808080u);
  const auto f = HostileFloats();
  for (float a : f)
    for (float b : f) {
      RasterLine(&dst, a, b, 5, 4, 0xFFFFFFFFu, 1.0f, BLIT_ADD, true);
      RasterLine(&dst, 2, a, b, 3, 0xFFFFFFFFu, 0.5f, BLIT_COPY, false);
      RasterLine(&dst, a, -b, b, a, 0xFFFFFFFFu, 0.5f, BLIT_DODGE, true);
      RasterArc(&dst, a, 4, b, 0.0f, a, 0xFFFFFFFFu, 1.0f, BLIT_ADD, true);
      RasterArc(&dst, 5, 4, 3, a, b, 0xFFFFFFFFu, 1.0f, BLIT_ADD, false);
      RasterCircle(&dst, 5, b, a, 0xFFFFFFFFu, 1.0f, BLIT_COPY, true);
      RasterScaledBlit(&dst, &src, 0, 0, 11, 8, a, b, a, b, 1.0f, BLIT_COPY | BLIT_FILTER_BILINEAR);
      RasterScaledBlit(&dst, &src, -3, 2, 20, -9, 1, 1, a, 3, 1.0f, BLIT_ADD);
      RasterRotatedBlit(&dst, &src, 0, 0, 11, 8, a, 0, 6, b, 0.5f, true, 1.0f,
                        BLIT_ADD | BLIT_FILTER_BILINEAR, 0, 0);
      RasterRotatedBlit(&dst, &src, -2, -2, 15, 12, 0, 0, 6, 5, a, false, 1.0f, BLIT_COPY, b, a);
      RasterPutPixel(&dst, 1, 1, 0xFFFFFFFFu, a, BLIT_ADD);
      RasterFillRect(&dst, 2, 2, 3, 3, 0xFFFFFFFFu, a, BLIT_DODGE);
      RasterBlit(&dst, &src, 0, 0, nullptr, a, BLIT_COPY | BLIT_USE_ALPHA);
    }
  EXPECT_TRUE(dst.GuardsIntact());
  EXPECT_GT(dst.CountNot(0u), 0);
}

TEST(RasterBadInput, LargeButFiniteShapesStillDrawTheirVisiblePart) {
  GuardedBitmap g(20, 20, false, 0u);
  // A circle of huge radius whose edge crosses the surface.
  RasterCircle(&g, 10, 1000010.0f, 1000000.0f, 0xFFFFFFFFu, 1.0f, BLIT_COPY, true);
  EXPECT_GT(g.CountNot(0u), 10);
  // A line from far outside through the surface.
  GuardedBitmap h(20, 20, false, 0u);
  RasterLine(&h, -1e8f, 10, 1e8f, 10, 0xFFFFFFFFu, 1.0f, BLIT_COPY, true);
  EXPECT_EQ(h.CountNot(0u), 20);
  EXPECT_TRUE(g.GuardsIntact());
  EXPECT_TRUE(h.GuardsIntact());
}
