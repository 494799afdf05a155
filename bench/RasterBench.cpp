// Raster library throughput on the editor's 724 x 526 surface, beside pixman
// for fills and blits, cairo for an antialiased polyline, and a plain memory
// copy of the surface as the floor. After the runs it prints each figure as a
// ratio to its peer measured in the same run (below 1.0 = faster than the peer).

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/MedianTimeReporter.h"
#include "raster/MemBitmap.h"
#include "raster/RasterBlit.h"
#include "raster/RasterLine.h"
#include "raster/RasterRotatedBlit.h"
#include "raster/RasterScaledBlit.h"
#include "raster/RasterSurface.h"

namespace {

constexpr int kW = 724, kH = 526;

// A source picture with varied colour and alpha (both libraries read the same bytes).
void FillSource(MemBitmap& m) {
  for (int y = 0; y < m.GetHeight(); ++y)
    for (int x = 0; x < m.GetWidth(); ++x)
      m.GetBits()[y * m.GetWidth() + x] =
          RasterMakePixel((x * 3 + y) & 0xFF, (x * 7) & 0xFF, (y * 5) & 0xFF, (x ^ y) & 0xFF);
}

pixman_image_t* Wrap(MemBitmap& m) {
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, m.GetWidth(), m.GetHeight(),
                                  reinterpret_cast<uint32_t*>(m.GetBits()), m.GetWidth() * 4);
}

struct Surfaces {
  MemBitmap dst{kW, kH}, src{kW, kH};
  Surfaces() {
    FillSource(src);
    RasterClear(&dst, 0xFF203040u);
  }
};

// --- floor ---------------------------------------------------------------

void Floor_Memcpy(benchmark::State& st) {
  Surfaces s;
  for (auto _ : st) {
    std::memcpy(s.dst.GetBits(), s.src.GetBits(), std::size_t(kW) * kH * 4);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Floor_Memcpy);

// --- fill ----------------------------------------------------------------

void Fill_Virlex(benchmark::State& st) {
  Surfaces s;
  for (auto _ : st) {
    RasterFillRect(&s.dst, 0, 0, kW, kH, 0xFF336699u, 1.0f, BLIT_COPY);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Fill_Virlex);

void Fill_Pixman(benchmark::State& st) {
  Surfaces s;
  pixman_image_t* d = Wrap(s.dst);
  const pixman_color_t colour{0x3333, 0x6666, 0x9999, 0xFFFF};
  const pixman_rectangle16_t rect{0, 0, kW, kH};
  for (auto _ : st) {
    pixman_image_fill_rectangles(PIXMAN_OP_SRC, d, &colour, 1, &rect);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(d);
}
BENCHMARK(Fill_Pixman);

// --- unscaled blits ------------------------------------------------------

void RunVirlexBlit(benchmark::State& st, int mode, float weight) {
  Surfaces s;
  for (auto _ : st) {
    RasterBlit(&s.dst, &s.src, 0, 0, nullptr, weight, mode);
    benchmark::ClobberMemory();
  }
}

void RunPixmanBlit(benchmark::State& st, pixman_op_t op) {
  Surfaces s;
  pixman_image_t* d = Wrap(s.dst);
  pixman_image_t* src = Wrap(s.src);
  for (auto _ : st) {
    pixman_image_composite32(op, src, nullptr, d, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(src);
  pixman_image_unref(d);
}

void Opaque_Virlex(benchmark::State& st) { RunVirlexBlit(st, BLIT_COPY, 1.0f); }
void Opaque_Pixman(benchmark::State& st) { RunPixmanBlit(st, PIXMAN_OP_SRC); }
void Alpha_Virlex(benchmark::State& st) { RunVirlexBlit(st, BLIT_COPY | BLIT_USE_ALPHA, 1.0f); }
void Alpha_Pixman(benchmark::State& st) { RunPixmanBlit(st, PIXMAN_OP_OVER); }
void Add_Virlex(benchmark::State& st) { RunVirlexBlit(st, BLIT_ADD, 1.0f); }
void Add_Pixman(benchmark::State& st) { RunPixmanBlit(st, PIXMAN_OP_ADD); }
BENCHMARK(Opaque_Virlex);
BENCHMARK(Opaque_Pixman);
BENCHMARK(Alpha_Virlex);
BENCHMARK(Alpha_Pixman);
BENCHMARK(Add_Virlex);
BENCHMARK(Add_Pixman);

// --- scaled and rotated bilinear blits -----------------------------------

constexpr int kTiles = 64;  // draws per iteration, spread over the surface

void Scaled_Virlex(benchmark::State& st) {
  MemBitmap dst(kW, kH), src(43, 43);
  FillSource(src);
  for (auto _ : st) {
    for (int i = 0; i < kTiles; ++i)
      RasterScaledBlit(&dst, &src, (i % 8) * 86, (i / 8) * 60, 86, 86, 0, 0, 43, 43, 1.0f,
                       BLIT_COPY | BLIT_FILTER_BILINEAR);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Scaled_Virlex);

void Scaled_Pixman(benchmark::State& st) {
  MemBitmap dst(kW, kH), src(43, 43);
  FillSource(src);
  pixman_image_t* d = Wrap(dst);
  pixman_image_t* s = Wrap(src);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : st) {
    for (int i = 0; i < kTiles; ++i)
      pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, (i % 8) * 86, (i / 8) * 60,
                               86, 86);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
}
BENCHMARK(Scaled_Pixman);

constexpr double kAngle = 30.0 * 3.14159265358979 / 180.0;

void Rotated_Virlex(benchmark::State& st) {
  MemBitmap dst(kW, kH), src(31, 31);
  FillSource(src);
  for (auto _ : st) {
    for (int i = 0; i < kTiles; ++i)
      RasterRotatedBlit(&dst, &src, (i % 16) * 44, (i / 16) * 44, 31, 31, 0, 0, 31, 31,
                        float(kAngle), true, 1.0f, BLIT_COPY | BLIT_FILTER_BILINEAR, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Rotated_Virlex);

void Rotated_Pixman(benchmark::State& st) {
  MemBitmap dst(kW, kH), src(31, 31);
  FillSource(src);
  pixman_image_t* d = Wrap(dst);
  pixman_image_t* s = Wrap(src);
  // Destination to source: rotate about the tile centre.
  pixman_transform_t t;
  pixman_transform_init_translate(&t, pixman_double_to_fixed(-15.5), pixman_double_to_fixed(-15.5));
  pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(kAngle)),
                          pixman_double_to_fixed(std::sin(kAngle)));
  pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(15.5),
                             pixman_double_to_fixed(15.5));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : st) {
    for (int i = 0; i < kTiles; ++i)
      pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, (i % 16) * 44,
                               (i / 16) * 44, 31, 31);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
}
BENCHMARK(Rotated_Pixman);

// --- waveform trace: 538 connected antialiased segments ------------------

std::vector<float> TracePoints() {
  std::vector<float> pts;
  for (int i = 0; i <= 538; ++i) {
    const double x = i * (kW - 1) / 538.0;
    const double y = kH / 2 + 180 * std::sin(i * 0.07) + 40 * std::sin(i * 1.3);
    pts.push_back(float(x));
    pts.push_back(float(y));
  }
  return pts;
}

void Trace_Virlex(benchmark::State& st) {
  MemBitmap dst(kW, kH);
  RasterClear(&dst, 0xFF000000u);
  const auto p = TracePoints();
  for (auto _ : st) {
    for (std::size_t i = 2; i < p.size(); i += 2)
      RasterLine(&dst, p[i - 2], p[i - 1], p[i], p[i + 1], 0xFF40FF80u, 1.0f, BLIT_COPY, true);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Trace_Virlex);

void Trace_Cairo(benchmark::State& st) {
  MemBitmap dst(kW, kH);
  RasterClear(&dst, 0xFF000000u);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(dst.GetBits()), CAIRO_FORMAT_ARGB32, kW, kH, kW * 4);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgb(cr, 0.25, 1.0, 0.5);
  const auto p = TracePoints();
  for (auto _ : st) {
    cairo_move_to(cr, p[0], p[1]);
    for (std::size_t i = 2; i < p.size(); i += 2) cairo_line_to(cr, p[i], p[i + 1]);
    cairo_stroke(cr);
    cairo_surface_flush(surface);
    benchmark::ClobberMemory();
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(Trace_Cairo);

// --- 2000 additive points ------------------------------------------------

void Points_Virlex(benchmark::State& st) {
  MemBitmap dst(kW, kH);
  RasterClear(&dst, 0xFF000000u);
  std::vector<int> xy;
  for (int i = 0; i < 2000; ++i) {
    xy.push_back((i * 7919) % kW);
    xy.push_back((i * 104729) % kH);
  }
  for (auto _ : st) {
    for (std::size_t i = 0; i < xy.size(); i += 2)
      RasterPutPixel(&dst, xy[i], xy[i + 1], 0xFF081020u, 0.5f, BLIT_ADD);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Points_Virlex);

// The ratios after the table.
class RatioReporter : public MedianTimeReporter {
 public:
  void Print() const {
    std::printf(
        "\nRatios (CPU time / peer CPU time, same run; below 1.0 is faster than the peer):\n");
    Ratio("fill            virlex / pixman", "Fill_Virlex", "Fill_Pixman");
    Ratio("opaque blit     virlex / pixman SRC", "Opaque_Virlex", "Opaque_Pixman");
    Ratio("alpha blit      virlex / pixman OVER", "Alpha_Virlex", "Alpha_Pixman");
    Ratio("additive blit   virlex / pixman ADD", "Add_Virlex", "Add_Pixman");
    Ratio("scaled bilinear virlex / pixman", "Scaled_Virlex", "Scaled_Pixman");
    Ratio("rotated bilin.  virlex / pixman", "Rotated_Virlex", "Rotated_Pixman");
    Ratio("waveform trace  virlex / cairo", "Trace_Virlex", "Trace_Cairo");
    std::printf("Against the floor (CPU time / memcpy of the whole surface):\n");
    for (const char* name : {"Fill_Virlex", "Opaque_Virlex", "Alpha_Virlex", "Add_Virlex",
                             "Scaled_Virlex", "Rotated_Virlex", "Trace_Virlex", "Points_Virlex"})
      Ratio(name, name, "Floor_Memcpy");
  }

 private:
  void Ratio(const char* label, const std::string& a, const std::string& b) const {
    const auto ia = times.find(a), ib = times.find(b);
    if (ia == times.end() || ib == times.end() || ib->second <= 0) return;
    std::printf("  %-40s %8.3f\n", label, ia->second / ib->second);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.Print();
  benchmark::Shutdown();
  return 0;
}
