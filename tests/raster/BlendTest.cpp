// The six per-pixel operators: the integer rules at their edges, checked
// exhaustively over channel values, and the vectorised rows against the plain ones.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "raster/MemBitmap.h"
#include "raster/RasterBilinearTapsSse2.h"
#include "raster/RasterBlit.h"
#include "raster/RasterRowKernels.h"
#include "raster/RasterSurface.h"

using namespace raster_detail;

namespace {

RasterPixel Grey(int v, int a) { return RasterMakePixel(a, v, v, v); }

// Result of one RasterPutPixel onto a single pixel holding d.
RasterPixel Put(RasterPixel d, RasterPixel colour, float weight, int mode) {
  MemBitmap m(1, 1);
  RasterClear(&m, d);
  RasterPutPixel(&m, 0, 0, colour, weight, mode);
  return RasterGetPixel(&m, 0, 0);
}

}  // namespace

TEST(BlendOperators, CopyWeightsAndTheHalfWeightTruncation) {
  for (int d = 0; d < 256; ++d)
    for (int s = 0; s < 256; ++s) {
      ASSERT_EQ(OpCopy::Apply(Grey(d, d), Grey(s, s), 256), Grey(s, s));
      ASSERT_EQ(OpCopy::Apply(Grey(d, d), Grey(s, s), 0), Grey(d, d));
      // Between the ends the result lies between d and s.
      const int mid = RasterRed(OpCopy::Apply(Grey(d, d), Grey(s, s), 100));
      ASSERT_GE(mid, std::min(d, s));
      ASSERT_LE(mid, std::max(d, s));
    }
  // 255 x 128 / 256 = 127.5, truncated.
  EXPECT_EQ(Put(0xFF000000u, 0xFFFFFFFFu, 0.5f, BLIT_COPY), RasterMakePixel(255, 127, 127, 127));
  // Copy needs a positive weight.
  EXPECT_EQ(Put(0x80402010u, 0xFFFFFFFFu, 0.0f, BLIT_COPY), 0x80402010u);
  EXPECT_EQ(Put(0x80402010u, 0xFFFFFFFFu, -1.0f, BLIT_COPY), 0x80402010u);
}

TEST(BlendOperators, CopyWithAlphaUsesTheOpaqueComplement) {
  // An opaque white source at full weight: a = 255, 255 x 255 / 256 = 254.
  EXPECT_EQ(Put(0x00000000u, 0xFFFFFFFFu, 1.0f, BLIT_COPY | BLIT_USE_ALPHA), 0xFEFEFEFEu);
  for (int d = 0; d < 256; ++d)
    for (int w : {1, 128, 256, 5000, -77})
      ASSERT_EQ(OpCopyAlpha::Apply(Grey(d, d), RasterMakePixel(0, 255, 9, 3), w), Grey(d, d))
          << "a transparent source leaves the destination, whatever the weight";
  // Half alpha at full weight: a = 127; (200 x 127 + 100 x 128) / 256 = 149.
  EXPECT_EQ(RasterRed(OpCopyAlpha::Apply(Grey(100, 0), RasterMakePixel(127, 200, 0, 0), 256)), 149);
}

// The copy operators blend two channel pairs per multiply for ordinary weights;
// every channel must still follow its formula exactly, for every weight.
TEST(BlendOperators, CopyOperatorsFollowThePerChannelFormulaForEveryWeight) {
  auto channel = [](int v, int c) { return (v * (c * 2 + 1) + c * 77) & 255; };
  auto pixel = [&](int v) {
    return RasterMakePixel(channel(v, 3), channel(v, 2), channel(v, 1), channel(v, 0));
  };
  auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
  for (int w = -40; w <= 300; ++w) {
    for (int dv = 0; dv < 256; ++dv) {
      for (int sv = 0; sv < 256; sv += 3) {
        const RasterPixel d = pixel(dv), s = pixel(sv);
        RasterPixel copy = 0, alpha = 0;
        const int sa = int(s >> 24);
        const int a = sa * w / 256;
        for (int shift = 0; shift < 32; shift += 8) {
          const int dc = int((d >> shift) & 0xFF), sc = int((s >> shift) & 0xFF);
          copy |= RasterPixel(clamp((dc * (256 - w) + sc * w) / 256)) << shift;
          alpha |= RasterPixel(clamp((sc * a + dc * (255 - a)) / 256)) << shift;
        }
        if (sa == 0) alpha = d;
        ASSERT_EQ(OpCopy::Apply(d, s, w), copy) << dv << " " << sv << " " << w;
        ASSERT_EQ(OpCopyAlpha::Apply(d, s, w), alpha) << dv << " " << sv << " " << w;
      }
    }
  }
}

TEST(BlendOperators, AddSaturatesAndNegativeWeightDarkens) {
  for (int d = 0; d < 256; ++d)
    for (int s = 0; s < 256; ++s) {
      ASSERT_EQ(RasterGreen(OpAdd::Apply(Grey(d, 0), Grey(s, 0), 256)), std::min(d + s, 255));
      ASSERT_EQ(RasterGreen(OpAdd::Apply(Grey(d, 0), Grey(s, 0), -256)), std::max(d - s, 0));
    }
  EXPECT_EQ(Put(0xFF808080u, 0xFF404040u, -0.5f, BLIT_ADD), RasterMakePixel(128, 0x60, 0x60, 0x60));
  EXPECT_EQ(Put(0x10101010u, 0x00FFFFFFu, 1.0f, BLIT_ADD | BLIT_USE_ALPHA), 0x10101010u);
}

TEST(BlendOperators, DodgeAtFullWeightSaturatesEveryNonZeroChannel) {
  for (int d = 0; d < 256; ++d) {
    const RasterPixel r = OpDodge::Apply(Grey(d, d), Grey(255, 255), 256);
    ASSERT_EQ(r, d == 0 ? 0u : 0xFFFFFFFFu) << d;
    // t = 254 is the other saturating case (255 - t = 1).
    ASSERT_EQ(RasterBlue(OpDodge::Apply(Grey(d, d), Grey(254, 254), 256)), d == 0 ? 0 : 255);
    // A zero source divides by 255: d x 256 / 255 brightens by at most one step.
    const int zero = RasterBlue(OpDodge::Apply(Grey(d, d), 0u, 256));
    ASSERT_TRUE(zero == d || zero == d + 1 || zero == 255);
  }
  // With alpha there is no transparent-source shortcut: a = 0, so d x 256 / 255.
  EXPECT_EQ(RasterRed(OpDodgeAlpha::Apply(Grey(200, 0), RasterMakePixel(0, 255, 255, 255), 256)),
            200 * 256 / 255);
}

TEST(BlendOperators, OperatorsOutsideTheTableDrawNothing) {
  for (int op : {3, 7, 0x80, 0xEF, 0xF5})
    EXPECT_EQ(Put(0x11223344u, 0xFFFFFFFFu, 1.0f, op), 0x11223344u) << op;
  EXPECT_EQ(Put(0x11223344u, 0xFFFFFFFFu, 0.0f, BLIT_ADD), 0x11223344u);
}

// Every (d, s) channel pair sits in some channel of some pixel of the row, for
// every weight the fast loops cover plus some beyond it.
TEST(BlendRowKernels, FastRowsMatchReferenceExhaustively) {
  std::vector<RasterPixel> dst(16384 + 3), src(dst.size());
  for (std::size_t i = 0; i < dst.size(); ++i) {
    const int pair = int(i * 4) & 0xFFFF;
    RasterPixel d = 0, s = 0;
    for (int c = 0; c < 4; ++c) {
      const int p = (pair + c * 16411) & 0xFFFF;  // a different pair per channel
      d |= RasterPixel(p & 0xFF) << (8 * c);
      s |= RasterPixel(p >> 8) << (8 * c);
    }
    dst[i] = d;
    src[i] = s;
  }
  int fastKinds = 0;
  for (BlendKind kind : {BlendKind::Copy, BlendKind::Add, BlendKind::Dodge, BlendKind::CopyAlpha,
                         BlendKind::AddAlpha, BlendKind::DodgeAlpha}) {
    fastKinds += HasFastRowKernel(kind);
    const RowKernel fast = SelectRowKernel(kind), reference = ReferenceRowKernel(kind);
    ASSERT_NE(reference, nullptr);
    for (int w = -300; w <= 300; ++w) {
      std::vector<RasterPixel> a = dst, b = dst;
      // Odd lengths and offsets exercise the scalar tails and unaligned loads.
      fast(a.data() + 1, src.data() + 2, int(dst.size()) - 3, w);
      reference(b.data() + 1, src.data() + 2, int(dst.size()) - 3, w);
      ASSERT_EQ(a, b) << "kind " << int(kind) << " weight " << w;
    }
  }
  const char* off = std::getenv("VIRLEX_NO_SIMD");
  if (off && off[0] == '1') {
    EXPECT_EQ(fastKinds, 0);
  }
  RecordProperty("fast_kinds", fastKinds);
}

// The vectorised four-tap sample against the reference over a grid of fractions
// that includes both ends, for pixels with extreme and mixed channels.
TEST(BilinearTaps, FastFourTapMatchesReference) {
  const RasterPixel values[] = {0x00000000u, 0xFFFFFFFFu, 0xFF000000u,
                                0x00FF00FFu, 0x80402010u, 0x7FFFFF01u};
  std::vector<std::uint32_t> fractions;
  for (std::uint32_t v = 0; v < 65536; v += 251) fractions.push_back(v);
  for (std::uint32_t v : {1u, 255u, 256u, 32767u, 32768u, 65534u, 65535u}) fractions.push_back(v);
  for (RasterPixel p : values)
    for (RasterPixel pr : values)
      for (RasterPixel pb : values)
        for (RasterPixel pbr : {values[1], values[4], values[5]}) {
          const RasterPixel top[2] = {p, pr}, below[2] = {pb, pbr};
          for (std::uint32_t f : fractions)
            for (std::uint32_t g : {0u, 1u, 700u, 32768u, 65535u, f}) {
              Sse2Taps fast;  // fresh each time: no cached pairs from another sample
              ASSERT_EQ(fast.Four(top, below, f, g), ReferenceTaps{}.Four(top, below, f, g))
                  << std::hex << p << " " << pr << " " << pb << " " << pbr << std::dec << " f " << f
                  << " g " << g;
            }
        }
}
