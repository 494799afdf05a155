// Small pictures drawn with the library and compared pixel by pixel with stored
// images in tests/raster/data that were looked at and judged right. To draw
// them anew after an intended change, run this test with
// VIRLEX_REGENERATE_RASTER_IMAGES=1, look at the files, and commit them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>

#include "raster/MemBitmap.h"
#include "raster/RasterArc.h"
#include "raster/RasterBlit.h"
#include "raster/RasterLine.h"
#include "raster/RasterRotatedBlit.h"
#include "raster/RasterScaledBlit.h"
#include "raster/RasterSurface.h"
#include "tests/raster/RasterTestSupport.h"

namespace {

constexpr RasterPixel kBackground = 0xFF101820u;

RasterPixel Hue(int i) {
  static const RasterPixel colours[] = {0xFFFF4040u, 0xFF40FF40u, 0xFF4080FFu, 0xFFFFFF40u,
                                        0xFFFF40FFu, 0xFF40FFFFu, 0xFFFFA040u, 0xFFFFFFFFu};
  return colours[i % 8];
}

// A 16 x 16 test card: colour gradients, a white border and a dark diagonal,
// with alpha falling off toward the right.
void DrawCard(MemBitmap& card) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      RasterPixel p = RasterMakePixel(255 - x * 8, x * 16, y * 16, 255 - (x + y) * 7);
      if (x == 0 || y == 0 || x == 15 || y == 15) p = 0xFFFFFFFFu;
      if (x == y) p = 0xFF000000u;
      card.GetBits()[y * 16 + x] = p;
    }
}

void DrawStar(MemBitmap& s) {
  // Sixteen spokes, antialiased on the left half, plain on the right; the long
  // ones run off the surface and are cut at its edges.
  for (int i = 0; i < 16; ++i) {
    const double a = i * 3.14159265358979 / 8.0 + 0.1;
    const float len = i % 2 ? 60.0f : 26.0f;
    const float x2 = float(32 + len * std::sin(a)), y2 = float(32 - len * std::cos(a));
    RasterLine(&s, 32, 32, x2, y2, Hue(i), 1.0f, BLIT_COPY, x2 < 32);
  }
  RasterLine(&s, 2, 60, 60, 2, 0xFFFFFFFFu, 0.5f, BLIT_ADD, true);  // exact diagonal
  RasterLine(&s, 0, 62, 63, 62, 0xFF808080u, 1.0f, BLIT_COPY, false);
  RasterLine(&s, 62, 0, 62, 63, 0xFF808080u, 1.0f, BLIT_COPY, false);
}

void DrawArcs(MemBitmap& s) {
  RasterCircle(&s, 20, 20, 16, Hue(0), 1.0f, BLIT_COPY, true);
  RasterCircle(&s, 20, 20, 10, Hue(1), 1.0f, BLIT_COPY, false);
  RasterArc(&s, 20, 20, 4, 0.0f, 1.5707964f, Hue(3), 1.0f, BLIT_COPY, false);
  RasterArc(&s, 46, 18, 13, 5.5f, 0.5f, Hue(2), 1.0f, BLIT_COPY, true);  // through 12 o'clock
  RasterArc(&s, 46, 18, 9, 0.5f, 5.5f, Hue(4), 1.0f, BLIT_ADD, true);    // the long way round
  RasterArc(&s, 46, 48, 12, 1.0f, 2.5f, Hue(5), 1.0f, BLIT_COPY, true);
  RasterCircle(&s, 12, 56, 14, Hue(6), 0.7f, BLIT_ADD, true);  // cut by the edges
  RasterCircle(&s, 63, 63, 8.5f, Hue(7), 1.0f, BLIT_COPY, true);
}

void DrawRotated(MemBitmap& s) {
  MemBitmap card(16, 16);
  DrawCard(card);
  RasterRotatedBlit(&s, &card, 4, 4, 56, 56, 0, 0, 16, 16, 0.5235988f, true, 1.0f,
                    BLIT_COPY | BLIT_FILTER_BILINEAR | BLIT_USE_ALPHA, 0, 0);
  RasterRotatedBlit(&s, &card, 40, 40, 24, 24, 0, 0, 16, 16, -1.2f, false, 1.0f, BLIT_COPY, 0, 0);
}

void DrawScaled(MemBitmap& s) {
  MemBitmap card(16, 16);
  DrawCard(card);
  RasterScaledBlit(&s, &card, 0, 0, 40, 40, 0, 0, 16, 16, 1.0f, BLIT_COPY | BLIT_FILTER_BILINEAR);
  RasterScaledBlit(&s, &card, 63, 0, -24, 24, 0, 0, 16, 16, 1.0f, BLIT_COPY);  // mirrored, nearest
  RasterScaledBlit(&s, &card, 40, 40, 24, 24, 4.5f, 4.5f, 8, 8, 1.0f,
                   BLIT_ADD | BLIT_FILTER_BILINEAR);
  RasterScaledBlit(&s, &card, -10, 44, 40, 20, 0, 0, 16, 16, 0.6f, BLIT_COPY | BLIT_USE_ALPHA);
}

void CheckPicture(const std::string& name, const std::function<void(MemBitmap&)>& draw) {
  MemBitmap s(64, 64);
  RasterClear(&s, kBackground);
  draw(s);
  const auto pixels = raster_test::Snapshot(&s);
  const std::string path = raster_test::DataDir() + "/" + name + ".png";
  const char* regenerate = std::getenv("VIRLEX_REGENERATE_RASTER_IMAGES");
  if (regenerate && regenerate[0] == '1') {
    ASSERT_TRUE(raster_test::WritePng(path, 64, 64, pixels)) << path;
    GTEST_SKIP() << "wrote " << path;
  }
  int w = 0, h = 0;
  std::vector<RasterPixel> expected;
  ASSERT_TRUE(raster_test::ReadPng(path, w, h, expected)) << path;
  ASSERT_EQ(w, 64);
  ASSERT_EQ(h, 64);
  int differing = 0, firstX = -1, firstY = -1;
  for (int i = 0; i < 64 * 64; ++i)
    if (pixels[i] != expected[i] && differing++ == 0) {
      firstX = i % 64;
      firstY = i / 64;
    }
  EXPECT_EQ(differing, 0) << name << ": first difference at " << firstX << "," << firstY;
}

}  // namespace

TEST(RasterReferenceImages, StarOfLines) { CheckPicture("lines_star", DrawStar); }
TEST(RasterReferenceImages, ArcsAndCircles) { CheckPicture("arcs", DrawArcs); }
TEST(RasterReferenceImages, RotatedCard) { CheckPicture("rotated", DrawRotated); }
TEST(RasterReferenceImages, ScaledCard) { CheckPicture("scaled", DrawScaled); }
