// The image generator's building blocks: compositing onto transparent
// pictures, the colour bleed that keeps bilinear edges clean, PNG output and
// label measurement.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "raster/MemBitmap.h"
#include "raster/RasterBlit.h"
#include "raster/RasterSurface.h"
#include "tools/imagegen/Paint.h"
#include "tools/imagegen/PngWrite.h"
#include "tools/imagegen/TextPainter.h"

namespace {

std::string TempPath(const char* name) { return std::string(::testing::TempDir()) + name; }

struct Decoded {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  std::vector<unsigned char> rgba;
};

Decoded ReadPng(const std::string& path) {
  Decoded d;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return d;
  d.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  d.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, d.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    d.rgba.clear();
    return d;
  }
  d.width = int(image.width);
  d.height = int(image.height);
  return d;
}

}  // namespace

TEST(ImageGenPaint, BlendOverKeepsColourOnTransparentPixels) {
  MemBitmap s(2, 1);
  RasterClear(&s, 0x00000000u);
  // Half coverage on nothing: the colour stays red, only alpha is halved.
  // (A premultiplied mix would give dark red, which shows as a fringe.)
  BlendOver(&s, 0, 0, 0xFFDD2020u, 0.5f);
  const RasterPixel p = RasterGetPixel(&s, 0, 0);
  EXPECT_EQ(RasterRed(p), 0xDD);
  EXPECT_EQ(RasterGreen(p), 0x20);
  EXPECT_NEAR(RasterAlpha(p), 128, 1);
  // A second half layer of another colour over it mixes by the alphas.
  BlendOver(&s, 0, 0, 0xFF2020DDu, 0.5f);
  const RasterPixel q = RasterGetPixel(&s, 0, 0);
  EXPECT_NEAR(RasterAlpha(q), 191, 1);
  EXPECT_NEAR(RasterBlue(q), (0xDD * 2 + 0x20) / 3, 1);
  EXPECT_NEAR(RasterRed(q), (0x20 * 2 + 0xDD) / 3, 1);
  // Out-of-range positions and zero coverage leave everything alone.
  BlendOver(&s, 1, 0, 0xFFFFFFFFu, 0.0f);
  BlendOver(&s, 2, 0, 0xFFFFFFFFu, 1.0f);
  BlendOver(&s, -1, 0, 0xFFFFFFFFu, 1.0f);
  EXPECT_EQ(RasterGetPixel(&s, 1, 0), 0x00000000u);
}

TEST(ImageGenPaint, ShapesCoverTheirAreaWithSoftEdges) {
  MemBitmap s(21, 21);
  RasterClear(&s, 0x00000000u);
  FillDisc(&s, 10.5f, 10.5f, 6.0f, 0xFFFFFFFFu, 0xFFFFFFFFu);
  EXPECT_EQ(RasterAlpha(RasterGetPixel(&s, 10, 10)), 255);
  EXPECT_EQ(RasterAlpha(RasterGetPixel(&s, 10, 2)), 0);
  // The pixel whose centre lies on the rim is half covered.
  EXPECT_NEAR(RasterAlpha(RasterGetPixel(&s, 10, 4)), 128, 2);
  EXPECT_LT(RoundBoxSdf(5.0f, 5.0f, 0.0f, 0.0f, 10.0f, 10.0f, 3.0f), 0.0f);
  // A rounded corner leaves the box's sharp corner outside.
  EXPECT_GT(RoundBoxSdf(0.2f, 0.2f, 0.0f, 0.0f, 10.0f, 10.0f, 3.0f), 0.0f);
  EXPECT_NEAR(CapsuleSdf(5.0f, 3.0f, 0.0f, 0.0f, 10.0f, 0.0f, 1.0f), 2.0f, 1e-5f);
}

TEST(ImageGenPaint, BleedColoursTransparentNeighboursOnly) {
  MemBitmap s(7, 1);
  RasterClear(&s, 0x00000000u);
  RasterPutPixel(&s, 3, 0, 0xFF30C060u, 1.0f, 0);
  BleedIntoTransparent(&s);
  for (int x = 0; x < 7; ++x) {
    const RasterPixel p = RasterGetPixel(&s, x, 0);
    EXPECT_EQ(p & 0x00FFFFFFu, 0x0030C060u) << x;
    EXPECT_EQ(RasterAlpha(p), x == 3 ? 255 : 0) << x;
  }
}

TEST(ImageGenPng, WritesWhatTheSurfaceHolds) {
  MemBitmap s(3, 2);
  RasterClear(&s, 0x80102030u);
  RasterPutPixel(&s, 2, 1, 0x00FF0000u, 1.0f, 0);
  const std::string rgba = TempPath("imagegen_rgba.png");
  ASSERT_TRUE(WritePng(&s, rgba.c_str(), true));
  const Decoded a = ReadPng(rgba);
  ASSERT_EQ(a.width, 3);
  ASSERT_EQ(a.height, 2);
  EXPECT_TRUE(a.hasAlpha);
  EXPECT_EQ(std::vector<unsigned char>(a.rgba.begin(), a.rgba.begin() + 4),
            (std::vector<unsigned char>{0x10, 0x20, 0x30, 0x80}));
  EXPECT_EQ(std::vector<unsigned char>(a.rgba.end() - 4, a.rgba.end()),
            (std::vector<unsigned char>{0xFF, 0x00, 0x00, 0x00}));
  // Without alpha the picture is opaque, colours unchanged.
  const std::string rgb = TempPath("imagegen_rgb.png");
  ASSERT_TRUE(WritePng(&s, rgb.c_str(), false));
  const Decoded b = ReadPng(rgb);
  EXPECT_FALSE(b.hasAlpha);
  EXPECT_EQ(std::vector<unsigned char>(b.rgba.begin(), b.rgba.begin() + 4),
            (std::vector<unsigned char>{0x10, 0x20, 0x30, 0xFF}));
  std::remove(rgba.c_str());
  std::remove(rgb.c_str());
}

TEST(ImageGenPng, RefusesEmptySurfacesAndUnwritablePaths) {
  MemBitmap empty;
  EXPECT_FALSE(WritePng(&empty, TempPath("imagegen_empty.png").c_str(), true));
  EXPECT_FALSE(WritePng(nullptr, TempPath("imagegen_null.png").c_str(), true));
  MemBitmap s(1, 1);
  RasterClear(&s, 0xFF000000u);
  EXPECT_FALSE(WritePng(&s, "/nonexistent-folder/x.png", false));
}

TEST(ImageGenText, MeasuresAndDrawsCentredLabels) {
  TextPainter text;
  ASSERT_TRUE(text.Ready());
  TextStyle style;
  style.bold = true;
  style.pixelSize = 10;
  EXPECT_EQ(text.Width(style, ""), 0);
  const int plain = text.Width(style, "DELAY");
  ASSERT_GT(plain, 10);
  style.tracking = 1;
  EXPECT_EQ(text.Width(style, "DELAY"), plain + 4);  // one gap between each of five letters

  MemBitmap s(60, 20);
  RasterClear(&s, 0xFF000000u);
  style.colour = 0xFFFFFFFFu;
  ASSERT_TRUE(text.Draw(&s, style, "DELAY", 30.0f, 15));
  int left = 60, right = -1, top = 20, bottom = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x)
      if (RasterRed(RasterGetPixel(&s, x, y)) > 64)
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
        bottom = std::max(bottom, y);
  ASSERT_GE(right, left);
  // Ink sits on the baseline, roughly cap height tall, centred on x = 30.
  EXPECT_EQ(bottom, 14);
  EXPECT_GE(bottom - top, 5);
  EXPECT_LE(std::abs((left + right + 1) / 2 - 30), 2);
}
