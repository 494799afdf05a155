// RasterLine, RasterArc and RasterCircle: shapes, clipping, antialiasing and weights.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "raster/RasterArc.h"
#include "raster/RasterLine.h"
#include "tests/raster/RasterTestSupport.h"

using raster_test::GuardedBitmap;

namespace {

constexpr RasterPixel kBlack = 0xFF000000u;
constexpr RasterPixel kWhite = 0xFFFFFFFFu;

std::set<std::pair<int, int>> Touched(GuardedBitmap& g, RasterPixel background) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < g.GetHeight(); ++y)
    for (int x = 0; x < g.GetWidth(); ++x)
      if (g.At(x, y) != background) out.insert({x, y});
  return out;
}

}  // namespace

TEST(RasterLine, SinglePointAndWeightScaleOf255) {
  GuardedBitmap g(8, 8, false, kBlack);
  RasterLine(&g, 3.7f, 3.2f, 3.0f, 3.9f, kWhite, 1.0f, BLIT_COPY, true);
  EXPECT_EQ(Touched(g, kBlack), (std::set<std::pair<int, int>>{{3, 3}}));
  // w = 255: (0 x 1 + 255 x 255) / 256 = 254, alpha (255 + 255 x 255) / 256 = 255.
  EXPECT_EQ(g.At(3, 3), 0xFFFEFEFEu);
}

TEST(RasterLine, HorizontalVerticalAndPlainDiagonal) {
  GuardedBitmap g(10, 10, false, kBlack);
  RasterLine(&g, 7, 2, 1, 2, kWhite, 1.0f, BLIT_ADD, true);  // antialiasing has no effect here
  RasterLine(&g, 0, 9, 0, 4, kWhite, 1.0f, BLIT_ADD, false);
  RasterLine(&g, 9, 0, 5, 4, kWhite, 1.0f, BLIT_ADD, false);
  std::set<std::pair<int, int>> expected;
  for (int x = 1; x <= 7; ++x) expected.insert({x, 2});
  for (int y = 4; y <= 9; ++y) expected.insert({0, y});
  for (int i = 0; i <= 4; ++i) expected.insert({9 - i, i});
  EXPECT_EQ(Touched(g, kBlack), expected);
}

TEST(RasterLine, AntialiasedDiagonalTouchesThreePixelsPerStep) {
  GuardedBitmap g(12, 12, false, 0u);
  RasterLine(&g, 2, 2, 8, 8, 0x00FFFFFFu, 1.0f, BLIT_ADD, true);
  // w = 255: the diagonal gets 255 x 3 / 4 = 191, each neighbour 255 / 4 = 63.
  for (int i = 2; i <= 8; ++i) EXPECT_EQ(g.At(i, i), 0x00BEBEBEu) << i;  // 255 x 191 / 256 = 190
  for (int i = 2; i < 8; ++i) {
    EXPECT_EQ(g.At(i + 1, i), 0x003E3E3Eu);  // 255 x 63 / 256 = 62
    EXPECT_EQ(g.At(i, i + 1), 0x003E3E3Eu);
  }
  EXPECT_EQ(Touched(g, 0u).size(), 7u + 12u);
}

TEST(RasterLine, GeneralLineStepsAndAntialiasSharesEachColumn) {
  GuardedBitmap plain(20, 10, false, 0u), smooth(20, 10, false, 0u);
  RasterLine(&plain, 0, 0, 10, 3, 0x00FFFFFFu, 1.0f, BLIT_ADD, false);
  RasterLine(&smooth, 0, 0, 10, 3, 0x00FFFFFFu, 1.0f, BLIT_ADD, true);
  // One pixel per column from x = 0 to 10, rows advancing 0 -> 3 without jumps.
  int previousRow = 0;
  for (int x = 0; x <= 10; ++x) {
    int hits = 0, row = -1;
    for (int y = 0; y < 10; ++y)
      if (plain.At(x, y)) {
        ++hits;
        row = y;
      }
    ASSERT_EQ(hits, 1) << x;
    EXPECT_GE(row, previousRow);
    EXPECT_LE(row, previousRow + 1);
    previousRow = row;
  }
  EXPECT_EQ(previousRow, 3);
  // Antialiased: in every column the two shares add up to about the full weight.
  for (int x = 0; x < 10; ++x) {
    int sum = 0;
    for (int y = 0; y < 10; ++y) sum += RasterBlue(smooth.At(x, y));
    EXPECT_GE(sum, 250) << x;
    EXPECT_LE(sum, 255) << x;
  }
}

TEST(RasterLine, CrossingLineIsCutAtTheEdgesAndOutsideLineDrawsNothing) {
  GuardedBitmap g(10, 6, false, kBlack);
  RasterLine(&g, -50, 3, 400, 3, kWhite, 1.0f, BLIT_COPY, false);
  std::set<std::pair<int, int>> expected;
  for (int x = 0; x < 10; ++x) expected.insert({x, 3});
  EXPECT_EQ(Touched(g, kBlack), expected);

  GuardedBitmap h(10, 6, false, kBlack);
  RasterLine(&h, -5, -5, 20, -1, kWhite, 1.0f, BLIT_COPY, true);
  RasterLine(&h, 11, 0, 30, 5, kWhite, 1.0f, BLIT_COPY, true);
  EXPECT_EQ(h.CountNot(kBlack), 0);

  // A steep line crossing the whole surface reaches both the top and bottom rows.
  GuardedBitmap s(10, 6, false, kBlack);
  RasterLine(&s, -4, -20, 14, 26, kWhite, 1.0f, BLIT_COPY, true);
  bool top = false, bottom = false;
  for (int x = 0; x < 10; ++x) {
    top |= s.At(x, 0) != kBlack;
    bottom |= s.At(x, 5) != kBlack;
  }
  EXPECT_TRUE(top);
  EXPECT_TRUE(bottom);
  EXPECT_TRUE(s.GuardsIntact());
}

TEST(RasterLine, FlippedSurfaceDrawsInPictureCoordinates) {
  GuardedBitmap g(6, 6, /*flipped=*/true, kBlack);
  RasterLine(&g, 1, 0, 4, 0, kWhite, 1.0f, BLIT_COPY, false);
  EXPECT_NE(g.At(2, 0), kBlack);
  EXPECT_NE(g.GetBits()[5 * g.GetRowSpan() + 2], kBlack);
}

TEST(RasterArc, QuarterFromTwelveToThreeOClock) {
  GuardedBitmap g(40, 40, false, kBlack);
  RasterArc(&g, 20, 20, 10, 0.0f, 1.5707964f, kWhite, 1.0f, BLIT_COPY, false);
  const auto pixels = Touched(g, kBlack);
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(pixels.count({20, 10})) << "the top point (cx, cy - r)";
  bool nearRight = false;
  for (const auto& p : pixels) {
    // Upper-right quarter only, and every pixel on the circle within a pixel.
    EXPECT_GE(p.first, 20);
    EXPECT_LE(p.second, 20);
    const double dist = std::hypot(p.first - 20.0, p.second - 20.0);
    EXPECT_NEAR(dist, 10.0, 1.0) << p.first << "," << p.second;
    // Without antialiasing at weight 1.0 the colour is written exactly.
    EXPECT_EQ(g.At(p.first, p.second), kWhite);
    nearRight |= p.first >= 29 && p.second >= 19;
  }
  EXPECT_TRUE(nearRight) << "reaches the right point (cx + r, cy)";
}

TEST(RasterArc, ArcThroughZeroCoversTheTop) {
  GuardedBitmap g(40, 40, false, kBlack);
  RasterArc(&g, 20, 20, 12, 5.5f, 0.5f, kWhite, 1.0f, BLIT_COPY, true);
  const auto pixels = Touched(g, kBlack);
  EXPECT_TRUE(pixels.count({20, 8}) || pixels.count({20, 9}));
  for (const auto& p : pixels)
    EXPECT_LT(p.second, 20) << "the arc spans only about one radian around the top";
  // From 0.5 to 5.5 is the long way round: it includes the bottom and not the top.
  GuardedBitmap h(40, 40, false, kBlack);
  RasterArc(&h, 20, 20, 12, 0.5f, 5.5f, kWhite, 1.0f, BLIT_COPY, true);
  EXPECT_NE(h.At(20, 32) | h.At(20, 31), kBlack);
  EXPECT_EQ(h.At(20, 8), kBlack);
}

TEST(RasterCircle, SymmetricAndClipped) {
  GuardedBitmap g(41, 41, false, kBlack);
  RasterCircle(&g, 20, 20, 15, kWhite, 1.0f, BLIT_COPY, false);
  const auto pixels = Touched(g, kBlack);
  EXPECT_GT(pixels.size(), 80u);
  for (const auto& p : pixels) EXPECT_NEAR(std::hypot(p.first - 20.0, p.second - 20.0), 15.0, 1.0);
  // Mirror symmetry left/right (x -> 40 - x) within one pixel of truncation.
  int unmatched = 0;
  for (const auto& p : pixels)
    unmatched +=
        !(pixels.count({40 - p.first, p.second}) || pixels.count({41 - p.first, p.second}) ||
          pixels.count({39 - p.first, p.second}));
  EXPECT_EQ(unmatched, 0);

  // A circle mostly outside the surface draws just its visible part.
  GuardedBitmap c(20, 20, false, kBlack);
  RasterCircle(&c, -5, 10, 12, kWhite, 1.0f, BLIT_COPY, true);
  EXPECT_GT(c.CountNot(kBlack), 5);
  EXPECT_TRUE(c.GuardsIntact());
  for (int y = 0; y < 20; ++y)
    for (int x = 9; x < 20; ++x) EXPECT_EQ(c.At(x, y), kBlack);
}
