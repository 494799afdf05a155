// FftTransform against FFTW and KissFFT for every size from 256 to 16384,
// and one analyser step (window, transform, N/2 magnitudes, smoothing,
// mapping onto 538 columns) against the same step built on FFTW. After the
// usual table the program prints each figure as a ratio to FFTW measured in
// the same run.
#include "bench/MedianTimeReporter.h"
#include "plugin/engine/Fft.h"
#include "plugin/engine/FreqRange.h"
#include "plugin/engine/SpectrumAnalyser.h"
#include "plugin/engine/SpectrumMapper.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>
#include <kiss_fft.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kColumns = 538;

// The analyser's window, for the peers' version of its step.
std::vector<float> BlackmanWindow(int n) {
  std::vector<float> window(n);
  for (int i = 0; i < n; ++i) {
    const double t = i * (2.0 * M_PI / (n - 1));
    window[i] = static_cast<float>((0.42 - 0.5 * std::cos(t)) + 0.08 * std::cos(2.0 * t));
  }
  return window;
}

std::vector<float> Noise(int floats, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> x(floats);
  for (float& v : x) v = dist(rng);
  return x;
}

// The transform is run on fresh copies of the same input so that repeated
// in-place transforms do not drift towards overflow.
void VirlexTransform(benchmark::State& state, FftPath path) {
  const int n = static_cast<int>(state.range(0));
  if (!FftSelectPath(path)) {
    state.SkipWithError("path not available");
    return;
  }
  const std::vector<float> input = Noise(2 * n, 1);
  std::vector<float> data(2 * n);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), data.begin());
    FftTransform(data.data(), n);
    benchmark::DoNotOptimize(data.data());
  }
  if (!FftSelectPath(FftPath::Avx2)) FftSelectPath(FftPath::Reference);
}

void BM_Virlex(benchmark::State& state) { VirlexTransform(state, FftPath::Avx2); }
void BM_VirlexSse2(benchmark::State& state) { VirlexTransform(state, FftPath::Sse2); }
void BM_VirlexReference(benchmark::State& state) { VirlexTransform(state, FftPath::Reference); }

void BM_Fftw(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<float> input = Noise(2 * n, 1);
  auto* data = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * n));
  fftwf_plan plan = fftwf_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_MEASURE);
  float* f = reinterpret_cast<float*>(data);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), f);
    fftwf_execute(plan);
    benchmark::DoNotOptimize(f);
  }
  fftwf_destroy_plan(plan);
  fftwf_free(data);
}

void BM_Kiss(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<float> input = Noise(2 * n, 1);
  kiss_fft_cfg cfg = kiss_fft_alloc(n, 0, nullptr, nullptr);
  std::vector<kiss_fft_cpx> in(n), out(n);
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), reinterpret_cast<float*>(in.data()));
    kiss_fft(cfg, in.data(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
  kiss_fft_free(cfg);
}

// One redraw of the spectrum for `inputs` inputs at N points (state.range),
// on the transform path FftInit chose (or on `path`).
void AnalyserStep(benchmark::State& state, const FftPath* path) {
  const int n = static_cast<int>(state.range(0));
  const int inputs = static_cast<int>(state.range(1));
  const FftPath chosen = FftActivePath();
  if (path != nullptr && !FftSelectPath(*path)) {
    state.SkipWithError("path not available");
    return;
  }
  std::vector<SpectrumAnalyser> analysers(inputs);
  for (SpectrumAnalyser& a : analysers) {
    a.Init(n);
    a.SetBlend(0.5);
  }
  SpectrumMapper mapper;
  mapper.SetBins(n / 2);
  const FreqRange range = UpdateFreqRange(0.0, 1.0, n, 44100.0);
  const std::vector<float> samples = Noise(n, 2);
  for (auto _ : state) {
    for (SpectrumAnalyser& a : analysers) {
      const float* values = a.Analyse(samples.data());
      benchmark::DoNotOptimize(
          mapper.Map(values, n / 2, range.firstBin, range.lastBin - range.firstBin, kColumns));
    }
  }
  FftSelectPath(chosen);
}

void BM_AnalyserStep(benchmark::State& state) { AnalyserStep(state, nullptr); }
void BM_AnalyserStepSse2(benchmark::State& state) {
  const FftPath sse2 = FftPath::Sse2;
  AnalyserStep(state, &sse2);
}

// The same redraw with FFTW doing the transform (natural bin order).
void BM_AnalyserStepFftw(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int inputs = static_cast<int>(state.range(1));
  auto* data = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * n));
  fftwf_plan plan = fftwf_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_MEASURE);
  const std::vector<float> window = BlackmanWindow(n);
  std::vector<std::vector<float>> smoothed(inputs, std::vector<float>(n / 2, 0.0f));
  SpectrumMapper mapper;
  mapper.SetBins(n / 2);
  const FreqRange range = UpdateFreqRange(0.0, 1.0, n, 44100.0);
  const std::vector<float> samples = Noise(n, 2);
  const float blend = 0.5f, scale = blend * 2.0f / n, keep = 1.0f - blend;
  for (auto _ : state) {
    for (std::vector<float>& s : smoothed) {
      for (int i = 0; i < n; ++i) {
        data[i][0] = window[i] * samples[i];
        data[i][1] = 0.0f;
      }
      fftwf_execute(plan);
      for (int k = 0; k < n / 2; ++k) {
        s[k] = std::sqrt(data[k][1] * data[k][1] + data[k][0] * data[k][0]) * scale + s[k] * keep;
      }
      benchmark::DoNotOptimize(
          mapper.Map(s.data(), n / 2, range.firstBin, range.lastBin - range.firstBin, kColumns));
    }
  }
  fftwf_destroy_plan(plan);
  fftwf_free(data);
}

// The same redraw with FFTW's real-input transform (n/2 + 1 bins in natural
// order): the fastest way FFTW offers to this spectrum.
void BM_AnalyserStepFftwReal(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int inputs = static_cast<int>(state.range(1));
  auto* in = static_cast<float*>(fftwf_malloc(sizeof(float) * n));
  auto* out = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * (n / 2 + 1)));
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
  const std::vector<float> window = BlackmanWindow(n);
  std::vector<std::vector<float>> smoothed(inputs, std::vector<float>(n / 2, 0.0f));
  SpectrumMapper mapper;
  mapper.SetBins(n / 2);
  const FreqRange range = UpdateFreqRange(0.0, 1.0, n, 44100.0);
  const std::vector<float> samples = Noise(n, 2);
  const float blend = 0.5f, scale = blend * 2.0f / n, keep = 1.0f - blend;
  for (auto _ : state) {
    for (std::vector<float>& s : smoothed) {
      for (int i = 0; i < n; ++i) in[i] = window[i] * samples[i];
      fftwf_execute(plan);
      for (int k = 0; k < n / 2; ++k) {
        s[k] = std::sqrt(out[k][1] * out[k][1] + out[k][0] * out[k][0]) * scale + s[k] * keep;
      }
      benchmark::DoNotOptimize(
          mapper.Map(s.data(), n / 2, range.firstBin, range.lastBin - range.firstBin, kColumns));
    }
  }
  fftwf_destroy_plan(plan);
  fftwf_free(out);
  fftwf_free(in);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n = 256; n <= kFftMaxSize; n *= 2) b->Arg(n);
}

void Steps(benchmark::internal::Benchmark* b) {
  for (int n = 256; n <= kFftMaxSize; n *= 2) {
    for (int inputs : {1, 4}) b->Args({n, inputs});
  }
}

BENCHMARK(BM_Fftw)->Apply(Sizes);
BENCHMARK(BM_Virlex)->Apply(Sizes);
BENCHMARK(BM_VirlexSse2)->Apply(Sizes);
BENCHMARK(BM_VirlexReference)->Apply(Sizes);
BENCHMARK(BM_Kiss)->Apply(Sizes);
BENCHMARK(BM_AnalyserStepFftw)->Apply(Steps);
BENCHMARK(BM_AnalyserStepFftwReal)->Apply(Steps);
BENCHMARK(BM_AnalyserStep)->Apply(Steps);
BENCHMARK(BM_AnalyserStepSse2)->Apply(Steps);

using RatioReporter = MedianTimeReporter;

// Time of run "<base>/<n>" or "<base>/<n>/<inputs>"; 0 when it did not run.
double Get(const RatioReporter& r, const char* base, int n, int inputs = 0) {
  char name[96];
  if (inputs > 0) {
    std::snprintf(name, sizeof name, "%s/%d/%d", base, n, inputs);
  } else {
    std::snprintf(name, sizeof name, "%s/%d", base, n);
  }
  const auto it = r.times.find(name);
  return it == r.times.end() ? 0.0 : it->second;
}

void PrintRatios(const RatioReporter& r) {
  std::printf("\nTime relative to FFTW_MEASURE in this run (lower is faster):\n");
  std::printf("%6s %10s %10s %10s %10s %10s %12s\n", "N", "virlex", "sse2", "reference", "kissfft",
              "fftw", "kiss/virlex");
  for (int n = 256; n <= kFftMaxSize; n *= 2) {
    const double fftw = Get(r, "BM_Fftw", n);
    const double virlex = Get(r, "BM_Virlex", n);
    const double sse2 = Get(r, "BM_VirlexSse2", n);
    const double ref = Get(r, "BM_VirlexReference", n);
    const double kiss = Get(r, "BM_Kiss", n);
    if (fftw <= 0.0 || virlex <= 0.0) continue;
    std::printf("%6d %10.2f %10.2f %10.2f %10.2f %10.2f %12.2f\n", n, virlex / fftw, sse2 / fftw,
                ref / fftw, kiss / fftw, 1.0, kiss / virlex);
  }
  std::printf(
      "\nAnalyser step (window, transform, magnitudes, smoothing, mapping) relative to the\n"
      "same step on FFTW's complex transform; and on FFTW's real-input transform:\n");
  std::printf("%6s %7s %12s %12s %12s %12s\n", "N", "inputs", "virlex/fftw", "sse2/fftw",
              "virlex/real", "sse2/real");
  for (int n = 256; n <= kFftMaxSize; n *= 2) {
    for (int inputs : {1, 4}) {
      const double fftw = Get(r, "BM_AnalyserStepFftw", n, inputs);
      const double real = Get(r, "BM_AnalyserStepFftwReal", n, inputs);
      const double virlex = Get(r, "BM_AnalyserStep", n, inputs);
      const double sse2 = Get(r, "BM_AnalyserStepSse2", n, inputs);
      if (fftw <= 0.0 || virlex <= 0.0) continue;
      const auto ratio = [](double a, double b) { return b > 0.0 && a > 0.0 ? a / b : 0.0; };
      std::printf("%6d %7d %12.2f %12.2f %12.2f %12.2f\n", n, inputs, ratio(virlex, fftw),
                  ratio(sse2, fftw), ratio(virlex, real), ratio(sse2, real));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  FftInit();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
