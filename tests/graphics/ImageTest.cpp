// PNG decoding (good and bad files) and the process-wide image caches.
#include <gtest/gtest.h>

#include <png.h>

#include <dirent.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "graphics/IImageCache.h"
#include "raster/MemBitmap.h"
#include "raster/RasterSurface.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

std::unique_ptr<RasterBitmap> Decode(const std::vector<unsigned char>& png) {
  return std::unique_ptr<RasterBitmap>(RasterLoadPngFromMemory(png.data(), png.size(), nullptr));
}

TEST(RasterLoadPng, EveryColourTypeEndsAsArgb) {
  // RGB gets alpha 255.
  auto rgb = Decode(MakePng(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}));
  ASSERT_NE(rgb, nullptr);
  EXPECT_EQ(RasterGetPixel(rgb.get(), 0, 0), 0xFF010203u);
  EXPECT_EQ(RasterGetPixel(rgb.get(), 1, 0), 0xFF040506u);
  // RGBA keeps its alpha and colours as stored (not premultiplied).
  auto rgba =
      Decode(MakePng(1, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, {200, 100, 50, 0, 10, 20, 30, 128}));
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(RasterGetPixel(rgba.get(), 0, 0), 0x00C86432u);
  EXPECT_EQ(RasterGetPixel(rgba.get(), 0, 1), 0x800A141Eu);
  // Grey, grey with alpha, 16-bit, 1-bit and palette with transparency.
  auto grey = Decode(MakePng(1, 1, PNG_COLOR_TYPE_GRAY, 8, {77}));
  EXPECT_EQ(RasterGetPixel(grey.get(), 0, 0), 0xFF4D4D4Du);
  auto greyAlpha = Decode(MakePng(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {77, 9}));
  EXPECT_EQ(RasterGetPixel(greyAlpha.get(), 0, 0), 0x094D4D4Du);
  auto deep =
      Decode(MakePng(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x12, 0, 0x34, 0, 0x56, 0, 0x78, 0}));
  EXPECT_EQ(RasterGetPixel(deep.get(), 0, 0), 0x78123456u);
  auto bits = Decode(MakePng(8, 1, PNG_COLOR_TYPE_GRAY, 1, {0x81}));
  EXPECT_EQ(RasterGetPixel(bits.get(), 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(RasterGetPixel(bits.get(), 1, 0), 0xFF000000u);
  auto pal =
      Decode(MakePng(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, {10, 20, 30, 40, 50, 60}, {128}));
  ASSERT_NE(pal, nullptr);
  EXPECT_EQ(RasterGetPixel(pal.get(), 0, 0), 0x800A141Eu);
  EXPECT_EQ(RasterGetPixel(pal.get(), 1, 0), 0xFF28323Cu);
}

TEST(RasterLoadPng, DecodesIntoAGivenDestination) {
  MemBitmap dest(5, 5);
  auto png = SolidRgbaPng(3, 2, 1, 2, 3, 4);
  EXPECT_EQ(RasterLoadPngFromMemory(png.data(), png.size(), &dest), &dest);
  EXPECT_EQ(dest.GetWidth(), 3);
  EXPECT_EQ(RasterGetPixel(&dest, 2, 1), 0x04010203u);
}

// Rewrites the IHDR size fields (and its CRC) of a valid file.
std::vector<unsigned char> WithSize(std::vector<unsigned char> png, unsigned w, unsigned h) {
  auto put = [&](size_t at, unsigned v) {
    for (int i = 0; i < 4; ++i) png[at + size_t(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
  };
  put(16, w);
  put(20, h);
  put(29, unsigned(crc32(crc32(0, nullptr, 0), &png[12], 17)));
  return png;
}

TEST(RasterLoadPng, BadInputGivesNullWithoutHugeAllocations) {
  const auto good = SolidRgbaPng(16, 16, 1, 2, 3, 255);
  ASSERT_NE(Decode(good), nullptr);
  EXPECT_EQ(RasterLoadPngFromMemory(nullptr, 100, nullptr), nullptr);
  EXPECT_EQ(RasterLoadPngFromMemory(good.data(), 7, nullptr), nullptr);
  auto badSig = good;
  badSig[1] = 'X';
  EXPECT_EQ(Decode(badSig), nullptr);
  for (size_t cut : {size_t(8), size_t(20), size_t(33), good.size() / 2, good.size() - 13}) {
    std::vector<unsigned char> truncated(good.begin(), good.begin() + ptrdiff_t(cut));
    EXPECT_EQ(Decode(truncated), nullptr) << cut;
  }
  auto badCrc = good;
  badCrc[29] ^= 0xFF;  // IHDR CRC
  EXPECT_EQ(Decode(badCrc), nullptr);
  EXPECT_EQ(Decode(WithSize(good, 100000, 100000)), nullptr);
  EXPECT_EQ(Decode(WithSize(good, 16384, 16384)), nullptr);  // within each side, too many pixels
  EXPECT_EQ(Decode(WithSize(good, 0, 16)), nullptr);
  auto badDepth = good;
  badDepth[24] = 7;  // bit depth 7 does not exist
  badDepth = WithSize(badDepth, 16, 16);
  EXPECT_EQ(Decode(badDepth), nullptr);
  auto badType = WithSize(
      [&] {
        auto p = good;
        p[25] = 5;
        return p;
      }(),
      16, 16);
  EXPECT_EQ(Decode(badType), nullptr);
  // A destination that cannot take the size fails the load.
  struct FixedSize : MemBitmap {
    FixedSize() : MemBitmap(2, 2) {}
    bool Resize(int, int) override { return false; }
  } fixed;
  EXPECT_EQ(RasterLoadPngFromMemory(good.data(), good.size(), &fixed), nullptr);
}

// Files kept from fuzzing the decoder, plus a few seeds: none may crash, and the
// valid ones decode to a sane size.
TEST(RasterLoadPng, KeptFuzzCorpusDecodesSafely) {
  const std::string dir = VIRLEX_PNG_CORPUS;
  DIR* d = opendir(dir.c_str());
  ASSERT_NE(d, nullptr) << dir;
  int files = 0;
  int decoded = 0;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    std::ifstream in(dir + "/" + e->d_name, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    ++files;
    auto s = Decode(bytes);
    if (s == nullptr) continue;
    ++decoded;
    EXPECT_GT(s->GetWidth(), 0);
    EXPECT_LE(std::int64_t(s->GetWidth()) * s->GetHeight(), kPngMaxPixels);
  }
  closedir(d);
  EXPECT_GE(files, 5);
  EXPECT_GE(decoded, 1);
}

// The editor's own pictures, through the module's resource lookup.
TEST(RasterLoadPng, EmbeddedEditorImagesHaveTheirLayoutSizes) {
#if VIRLEX_HAVE_EMBEDDED_RESOURCES
  struct Expected {
    int id, w, h;
  };
  for (Expected e : {Expected{100, 724, 526}, Expected{101, 43, 43}, Expected{102, 27, 54},
                     Expected{105, 31, 31}, Expected{106, 16, 16}, Expected{107, 15, 15}}) {
    std::unique_ptr<RasterBitmap> s(RasterLoadPng(nullptr, e.id, nullptr));
    ASSERT_NE(s, nullptr) << e.id;
    EXPECT_EQ(s->GetWidth(), e.w) << e.id;
    EXPECT_EQ(s->GetHeight(), e.h) << e.id;
  }
  EXPECT_EQ(RasterLoadPng(nullptr, 99, nullptr), nullptr);
  MemBitmap dest;
  EXPECT_EQ(RasterLoadPng(nullptr, 105, &dest), &dest);
  EXPECT_EQ(dest.GetWidth(), 31);
#else
  EXPECT_EQ(RasterLoadPng(nullptr, 100, nullptr), nullptr);
  GTEST_SKIP() << "built without the resource table";
#endif
}

struct CacheTest : ::testing::Test {
  EditorFixture fx;
  TestGraphics& g() { return *fx.graphics; }
};

TEST_F(CacheTest, SameIdSameSurfaceAndReloadAfterDrop) {
  g().pngs[900] = SolidRgbaPng(4, 6, 9, 9, 9, 255);
  IImage a = g().ImageFromResource(900, "x", 2);
  IImage b = g().ImageFromResource(900, "x", 3);
  EXPECT_EQ(a.surface, b.surface);
  EXPECT_EQ(b.frameCount, 2);  // the first load's frame count holds
  EXPECT_EQ(g().loads, 1);
  // Another host in the same process shares the cache.
  TestGraphics other(nullptr, 10, 10, 0);
  EXPECT_EQ(other.ImageFromResource(900, "x", 1).surface, a.surface);
  g().DropImage(a);
  EXPECT_FALSE(IImageCache::IsLive(a.surface));
  g().DropImage(a);  // a second drop of the same handle does nothing
  IImage c = g().ImageFromResource(900, "x", 5);
  EXPECT_EQ(g().loads, 2);
  EXPECT_EQ(c.frameCount, 5);
  EXPECT_TRUE(IImageCache::IsLive(c.surface));
}

TEST_F(CacheTest, MissingResourceGivesNullImageAndRetries) {
  IImage none = g().ImageFromResource(901, "missing", 1);
  EXPECT_EQ(none.surface, nullptr);
  g().pngs[901] = SolidRgbaPng(2, 2, 0, 0, 0, 255);
  EXPECT_NE(g().ImageFromResource(901, "missing", 1).surface, nullptr);
}

TEST_F(CacheTest, ScaledAndCroppedCopiesAreCachedByKey) {
  std::vector<unsigned char> s;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) s.insert(s.end(), {static_cast<unsigned char>(x * 60), 0, 0, 255});
  }
  g().pngs[902] = MakePng(4, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8, s);
  IImage src = g().ImageFromResource(902, "ramp", 2);
  IImage same = g().ScaledImage(src, 4, 4);
  EXPECT_NE(same.surface, src.surface);  // its own size still makes a copy
  EXPECT_EQ(RasterGetPixel(same.surface, 3, 0), RasterGetPixel(src.surface, 3, 0));
  EXPECT_EQ(g().ScaledImage(src, 4, 4).surface, same.surface);
  IImage big = g().ScaledImage(src, 8, 8);
  EXPECT_EQ(big.frameCount, 2);
  EXPECT_EQ(big.width, 8);
  IImage crop = g().CroppedImage(src, IBox{2, 1, 4, 3});
  EXPECT_EQ(crop.width, 2);
  EXPECT_EQ(RasterGetPixel(crop.surface, 0, 0), 0xFF780000u);
  EXPECT_EQ(g().CroppedImage(src, IBox{2, 1, 4, 3}).surface, crop.surface);
  g().DropImage(crop);
  IImage again = g().CroppedImage(src, IBox{2, 1, 4, 3});
  EXPECT_TRUE(IImageCache::IsLive(again.surface));
  EXPECT_EQ(RasterGetPixel(again.surface, 1, 1), 0xFFB40000u);
}

TEST_F(CacheTest, ConcurrentRequestsDecodeOnce) {
  g().pngs[903] = SolidRgbaPng(64, 64, 1, 1, 1, 255);
  std::vector<RasterBitmap*> got(4, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back(
        [this, &got, i] { got[size_t(i)] = g().ImageFromResource(903, "x", 1).surface; });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(g().loads, 1);
  for (RasterBitmap* s : got) EXPECT_EQ(s, got[0]);
}

}  // namespace
