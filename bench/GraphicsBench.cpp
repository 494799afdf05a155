// Full redraw of a 724 x 526 editor of background and stock controls, and the
// decoding of its background picture, against a plain copy of the draw surface
// measured in the same run (the "Copy" line is the baseline of the ratios).
#include <benchmark/benchmark.h>

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/MedianTimeReporter.h"
#include "graphics/IBitmapWidget.h"
#include "graphics/IFaderWidget.h"
#include "graphics/IRotatingKnobWidget.h"
#include "graphics/ITextWidget.h"
#include "graphics/RasterLoadPng.h"
#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "raster/MemBitmap.h"

namespace {

constexpr int kW = 724;
constexpr int kH = 526;

void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

void NoFlush(png_structp) {}

bool EncodeRgba(std::vector<unsigned char>* out, int w, int h, png_bytepp rows, int colourType) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, Append, NoFlush);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

// A picture with some structure (gradients and a round shape), like a real one.
std::vector<unsigned char> TestPng(int w, int h, bool alpha) {
  const int ch = alpha ? 4 : 3;
  std::vector<unsigned char> px(size_t(w) * size_t(h) * size_t(ch));
  std::vector<png_bytep> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    rows[size_t(y)] = &px[size_t(y) * size_t(w) * size_t(ch)];
    for (int x = 0; x < w; ++x) {
      unsigned char* p = rows[size_t(y)] + x * ch;
      const double dx = x - w / 2.0, dy = y - h / 2.0;
      const bool inside = dx * dx + dy * dy < (w * w) / 5.0;
      p[0] = static_cast<unsigned char>(x * 255 / w);
      p[1] = static_cast<unsigned char>(y * 255 / h);
      p[2] = inside ? 200 : 40;
      if (alpha) p[3] = inside ? 255 : 0;
    }
  }
  std::vector<unsigned char> out;
  EncodeRgba(&out, w, h, rows.data(), alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
  return out;
}

class BenchGraphics : public IGraphicsOffscreen {
 public:
  BenchGraphics() : IGraphicsOffscreen(nullptr, kW, kH, 0) {
    pngs[100] = TestPng(kW, kH, false);
    pngs[101] = TestPng(43, 43, true);
    pngs[102] = TestPng(27, 54, true);
    pngs[105] = TestPng(31, 31, true);
    pngs[106] = TestPng(16, 16, true);
  }
  RasterBitmap* LoadImageResource(int id, const char*) override {
    const std::vector<unsigned char>& b = pngs[id];
    return RasterLoadPngFromMemory(b.data(), b.size(), nullptr);
  }
  std::vector<unsigned char> pngs[200];
};

// The product's panel without its own controls: background, knobs, switches,
// faders and texts at their places.
void BuildPanel(BenchGraphics& g, bool knobs) {
  g.PrepareSurfaces();
  g.SetBackdrop(100, "bg");
  const IImage knob = g.ImageFromResource(105, "knob", 1);
  const IImage body = g.ImageFromResource(101, "body", 1);
  const IImage button = g.ImageFromResource(102, "button", 2);
  const IImage handle = g.ImageFromResource(106, "handle", 1);
  IFontSpec grey;
  grey.colour = IRgba{255, 127, 127, 127};
  grey.align = IALIGN_CENTER;
  g.AddWidget(new ITextWidget(nullptr, IBox{44, 385, 74, 397}, grey, "ZOOM"));
  g.AddWidget(new ITextWidget(nullptr, IBox{656, 484, 690, 499}, grey, "v1.54"));
  g.AddWidget(new IBitmapWidget(nullptr, 453, 448, -1, body, IBLEND_ALPHA));
  g.AddWidget(new IBitmapWidget(nullptr, 501, 448, -1, body, IBLEND_ALPHA));
  for (int x : {47, 460, 508, 556}) {
    if (knobs)
      g.AddWidget(new IRotatingKnobWidget(nullptr, x, 452, -1, knob, -2.356, 2.356, 0, 0, 4.0));
  }
  for (int n = 1; n <= 4; ++n) {
    const int c = 170 + 89 * (n - 1);
    if (knobs)
      g.AddWidget(
          new IRotatingKnobWidget(nullptr, c - 68, 452, -1, knob, -2.356, 2.356, 0, 0, 4.0));
    g.AddWidget(new ISwitchWidget(nullptr, c - 21, 463, -1, button, IBLEND_ALPHA));
    g.AddWidget(new ITextWidget(nullptr, IBox{c - 65, 409, c - 35, 421}, grey, "12.5 ms"));
    g.AddWidget(new ITextWidget(nullptr, IBox{c - 30, 409, c, 421}, grey, "-6.0"));
  }
  g.AddWidget(new IFaderWidget(nullptr, 82, 383, 536, -1, handle, IDIRECTION_HORIZONTAL));
  g.AddWidget(new IFaderWidget(nullptr, 52, 58, 305, -1, handle, IDIRECTION_VERTICAL));
}

void Copy(benchmark::State& state) {
  MemBitmap a(kW, kH), b(kW, kH);
  std::memset(a.GetBits(), 1, size_t(kW) * kH * 4);
  for (auto _ : state) {
    std::memcpy(b.GetBits(), a.GetBits(), size_t(kW) * kH * 4);
    benchmark::DoNotOptimize(b.GetBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Copy);

// Argument 1: with the eight rotated knobs; 0: without them, which isolates
// the rotated blits' share.
void FullRedraw(benchmark::State& state) {
  BenchGraphics g;
  BuildPanel(g, state.range(0) != 0);
  g.DrawDirty(IBox{0, 0, kW, kH});  // warm the glyph cache
  for (auto _ : state) {
    g.DrawDirty(IBox{0, 0, kW, kH});
    benchmark::DoNotOptimize(g.GetSurfaceBits());
  }
}
BENCHMARK(FullRedraw)->Arg(1)->Arg(0);

void DecodeBackground(benchmark::State& state) {
  const std::vector<unsigned char> png = TestPng(kW, kH, false);
  MemBitmap dest(kW, kH);
  for (auto _ : state)
    benchmark::DoNotOptimize(RasterLoadPngFromMemory(png.data(), png.size(), &dest));
}
BENCHMARK(DecodeBackground);

// Prints each benchmark's time as a ratio to the plain copy of the same run.
class RatioReporter : public MedianTimeReporter {
 public:
  void PrintRatios() const {
    const auto copy = times.find("Copy");
    if (copy == times.end() || copy->second <= 0.0) return;
    std::printf("\nCPU time relative to the copy of the surface (same run):\n");
    for (const auto& [name, t] : times)
      if (name != "Copy") std::printf("  %-20s %6.2f\n", name.c_str(), t / copy->second);
  }

 private:
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
