// Whole pictures of many seeded scaled and rotated blits, every operator,
// filter and clipping case, reduced to one checksum. The stored value was made
// by the plain per-pixel loops; the vectorised paths (and the same test under
// VIRLEX_NO_SIMD=1) must reproduce it exactly. After an intended change of the
// pictures, update the value in the same commit.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "raster/MemBitmap.h"
#include "raster/RasterRotatedBlit.h"
#include "raster/RasterScaledBlit.h"
#include "raster/RasterSurface.h"
#include "tests/raster/RasterTestSupport.h"

using raster_test::GuardedBitmap;

namespace {

// FNV-1a over the pixels, top row first.
std::uint64_t Checksum(RasterBitmap* surface, std::uint64_t h) {
  for (RasterPixel p : raster_test::Snapshot(surface))
    for (int b = 0; b < 4; ++b) h = (h ^ ((p >> (8 * b)) & 0xFF)) * 1099511628211ull;
  return h;
}

// A source with every kind of pixel: random channels, opaque and transparent
// runs, and extremes.
void FillRandom(GuardedBitmap& g, std::mt19937& rng) {
  for (int y = 0; y < g.GetHeight(); ++y)
    for (int x = 0; x < g.GetWidth(); ++x) {
      RasterPixel p = rng();
      if ((x + y) % 7 == 0) p &= 0x00FFFFFFu;
      if ((x * y) % 5 == 1) p |= 0xFF000000u;
      if (x == 3) p = 0xFFFFFFFFu;
      g.Set(x, y, p);
    }
}

const int kModes[] = {BLIT_COPY,  BLIT_COPY | BLIT_USE_ALPHA, BLIT_ADD, BLIT_ADD | BLIT_USE_ALPHA,
                      BLIT_DODGE, BLIT_DODGE | BLIT_USE_ALPHA};

}  // namespace

TEST(TransformBlitPictures, SeededBlitsMatchTheStoredChecksum) {
  std::mt19937 rng(20240611u);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::uint64_t h = 14695981039346656037ull;
  for (int round = 0; round < 240; ++round) {
    const bool flippedSrc = round % 3 == 1, flippedDst = round % 4 == 2;
    GuardedBitmap src(5 + int(rng() % 40), 4 + int(rng() % 30), flippedSrc);
    FillRandom(src, rng);
    GuardedBitmap dst(64, 48, flippedDst, 0u);
    FillRandom(dst, rng);
    const int x = int(rng() % 80) - 16, y = int(rng() % 60) - 12;
    int w = 1 + int(rng() % 70), hgt = 1 + int(rng() % 50);
    if (round % 9 == 4) w = -w;  // mirrored
    const float sx = unit(rng) * 8.0f - 2.0f, sy = unit(rng) * 8.0f - 2.0f;
    const float sw = 1.0f + unit(rng) * float(src.GetWidth());
    const float sh = 1.0f + unit(rng) * float(src.GetHeight());
    const float weight = round % 5 == 0 ? 1.0f : unit(rng) * 1.4f - 0.2f;
    const int mode = kModes[rng() % 6] | (round % 6 == 5 ? 0 : BLIT_FILTER_BILINEAR);
    if (round % 2 == 0) {
      RasterScaledBlit(&dst, &src, x, y, w, hgt, sx, sy, sw, sh, weight, mode);
    } else {
      const float angle = unit(rng) * 7.0f - 0.5f;
      const float cx = unit(rng) * 6.0f - 3.0f, cy = unit(rng) * 6.0f - 3.0f;
      RasterRotatedBlit(&dst, &src, x, y, w, hgt, sx, sy, sw, sh, angle, round % 4 == 1, weight,
                        mode, cx, cy);
    }
    ASSERT_TRUE(dst.GuardsIntact()) << "round " << round;
    h = Checksum(&dst, h);
  }
  EXPECT_EQ(h, 10508446897376010940ull) << std::hex << h;
}
