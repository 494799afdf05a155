#pragma once
// Internal: the six per-pixel blend operators and the bilinear taps.
// Integer rules: weights are in 1/256 units; division by 256 truncates toward
// zero; every result channel is clamped to 0..255. Alpha is blended exactly
// like the colour channels.

#include <cstdint>

#include "raster/RasterMode.h"
#include "raster/RasterPixel.h"

namespace raster_detail {

inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// v / 256 truncated toward zero, written out because some compilers emit a real
// division for the constant in these inlined loops.
inline int Div256(int v) { return (v + ((v >> 31) & 255)) >> 8; }

// Applies a per-channel function to the four channels of d and s.
template <class ChannelFn>
inline RasterPixel PerChannel(RasterPixel d, RasterPixel s, ChannelFn fn) {
  const auto one = [&](int shift) {
    return RasterPixel(Clamp255(fn(int((d >> shift) & 0xFF), int((s >> shift) & 0xFF)))) << shift;
  };
  return one(0) | one(8) | one(16) | one(24);
}

// For two weights that add up to at most 256 (or 255), blends all four channels
// with two multiplies: the red/blue and the alpha/green pairs each share one 32-bit
// word, 16 bits a channel. No lane can overflow into the next or go negative, so
// this is exactly the per-channel formula with its truncating division and clamp.
[[gnu::always_inline]] inline RasterPixel BlendLanes(RasterPixel d, RasterPixel s, std::uint32_t dw,
                                                     std::uint32_t sw) {
  const std::uint32_t rb = (((d & 0x00FF00FFu) * dw + (s & 0x00FF00FFu) * sw) >> 8) & 0x00FF00FFu;
  const std::uint32_t ag =
      (((d >> 8) & 0x00FF00FFu) * dw + ((s >> 8) & 0x00FF00FFu) * sw) & 0xFF00FF00u;
  return rb | ag;
}

// d' = (d (256 - w) + s w) / 256
struct OpCopy {
  [[gnu::always_inline]] static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
    if (unsigned(w) <= 256u) return BlendLanes(d, s, std::uint32_t(256 - w), std::uint32_t(w));
    return PerChannel(d, s, [w](int dc, int sc) { return Div256(dc * (256 - w) + sc * w); });
  }
};

// a = sa w / 256; d' = (s a + d (255 - a)) / 256; a transparent source changes nothing.
struct OpCopyAlpha {
  [[gnu::always_inline]] static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
    const int sa = int(s >> 24);
    if (sa == 0) return d;
    const int a = Div256(sa * w);
    if (unsigned(a) <= 255u) return BlendLanes(d, s, std::uint32_t(255 - a), std::uint32_t(a));
    return PerChannel(d, s, [a](int dc, int sc) { return Div256(sc * a + dc * (255 - a)); });
  }
};

// d' = d + s w / 256 (a negative weight darkens)
struct OpAdd {
  [[gnu::always_inline]] static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
    return PerChannel(d, s, [w](int dc, int sc) { return dc + Div256(sc * w); });
  }
};

// a = sa w / 256; d' = d + s a / 256; a transparent source changes nothing.
struct OpAddAlpha {
  [[gnu::always_inline]] static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
    const int sa = int(s >> 24);
    if (sa == 0) return d;
    const int a = Div256(sa * w);
    return PerChannel(d, s, [a](int dc, int sc) { return dc + Div256(sc * a); });
  }
};

// t = s w / 256; d' = d 256 / (255 - t), or d 256 (saturating) once 255 - t <= 1.
inline int DodgeChannel(int dc, int sc, int w) {
  const int t = Div256(sc * w);
  const int den = 255 - t;
  return den > 1 ? dc * 256 / den : dc * 256;
}

struct OpDodge {
  [[gnu::always_inline]] static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
    return PerChannel(d, s, [w](int dc, int sc) { return DodgeChannel(dc, sc, w); });
  }
};

// Dodge with w scaled by the source alpha (no transparent-source shortcut).
struct OpDodgeAlpha {
  [[gnu::always_inline]] static RasterPixel Apply(RasterPixel d, RasterPixel s, int w) {
    const int a = Div256(int(s >> 24) * w);
    return PerChannel(d, s, [a](int dc, int sc) { return DodgeChannel(dc, sc, a); });
  }
};

enum class BlendKind { None, Copy, Add, Dodge, CopyAlpha, AddAlpha, DodgeAlpha };

// Operator choice shared by pixels, blits, lines and arcs: copy needs a positive
// weight, add and dodge a non-zero one; other operators draw nothing.
inline BlendKind SelectBlend(int mode, float weight) {
  const bool alpha = (mode & BLIT_USE_ALPHA) != 0;
  switch (mode & BLIT_OPERATOR_MASK) {
    case BLIT_COPY:
      return weight > 0.0f ? (alpha ? BlendKind::CopyAlpha : BlendKind::Copy) : BlendKind::None;
    case BLIT_ADD:
      return weight != 0.0f ? (alpha ? BlendKind::AddAlpha : BlendKind::Add) : BlendKind::None;
    case BLIT_DODGE:
      return weight != 0.0f ? (alpha ? BlendKind::DodgeAlpha : BlendKind::Dodge) : BlendKind::None;
    default:
      return BlendKind::None;
  }
}

// Calls fn with a value of the operator type for kind, so the pixel loop is
// instantiated once per operator and the choice is made outside it.
template <class Fn>
inline void WithBlend(BlendKind kind, Fn&& fn) {
  switch (kind) {
    case BlendKind::Copy:
      fn(OpCopy{});
      break;
    case BlendKind::Add:
      fn(OpAdd{});
      break;
    case BlendKind::Dodge:
      fn(OpDodge{});
      break;
    case BlendKind::CopyAlpha:
      fn(OpCopyAlpha{});
      break;
    case BlendKind::AddAlpha:
      fn(OpAddAlpha{});
      break;
    case BlendKind::DodgeAlpha:
      fn(OpDodgeAlpha{});
      break;
    case BlendKind::None:
      break;
  }
}

// c' = (p (65535 - f) + q f) / 65536 per channel; f in 0..65535.
inline RasterPixel TwoTap(RasterPixel p, RasterPixel q, std::uint32_t f) {
  const std::uint32_t fp = 65535u - f;
  RasterPixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t c = (((p >> shift) & 0xFF) * fp + ((q >> shift) & 0xFF) * f) >> 16;
    out |= c << shift;
  }
  return out;
}

// Four taps with vertical fraction f and horizontal fraction g; the weights sum
// to 65535, so a uniform 255 area samples as 254. When both fractions are close
// to 65535 the rounded-down k makes the top-left weight negative by a step or
// two; it is held at 0 so the sum cannot wrap into the neighbouring channel.
inline RasterPixel FourTap(RasterPixel p, RasterPixel pr, RasterPixel pb, RasterPixel pbr,
                           std::uint32_t f, std::uint32_t g) {
  const std::uint32_t k = (f * g) >> 16;
  const std::int32_t wpSigned = 65535 - std::int32_t(f) - std::int32_t(g) + std::int32_t(k);
  const std::uint32_t wbr = k, wr = g - k, wb = f - k,
                      wp = wpSigned > 0 ? std::uint32_t(wpSigned) : 0u;
  RasterPixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t c = (((p >> shift) & 0xFF) * wp + ((pr >> shift) & 0xFF) * wr +
                             ((pb >> shift) & 0xFF) * wb + ((pbr >> shift) & 0xFF) * wbr) >>
                            16;
    out |= (c > 255u ? 255u : c) << shift;
  }
  return out;
}

}  // namespace raster_detail
