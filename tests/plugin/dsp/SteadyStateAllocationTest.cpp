// One redraw's worth of spectrum work, repeated at the same sizes, must not
// touch the heap. Counting replaces the global operator new, so this test is
// its own executable and is left out of sanitizer builds.
#include "plugin/engine/Fft.h"
#include "plugin/engine/FreqRange.h"
#include "plugin/engine/ScopeMath.h"
#include "plugin/engine/SpectrumAnalyser.h"
#include "plugin/engine/SpectrumMapper.h"
#include "tests/support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SteadyStateAllocationTest, RedrawAtUnchangedSizesAllocatesNothing) {
  FftInit();
  std::vector<SpectrumAnalyser> analysers(4);
  SpectrumMapper mapper;
  std::vector<float> samples(16384, 0.25f);
  samples[7] = -0.5f;
  long before = 0;
  for (int redraw = 0; redraw < 3; ++redraw) {
    // The first redraw sizes the buffers; later ones must reuse them, also
    // across a size change back to one used before.
    if (redraw == 1) before = AllocationCount();
    for (int n : {16384, 4096}) {
      for (SpectrumAnalyser& a : analysers) a.Init(n);
      mapper.SetBins(n / 2);
      const FreqRange r = UpdateFreqRange(0.0, 0.75, n, 44100.0);
      for (SpectrumAnalyser& a : analysers) {
        MeasureLevel(samples.data(), n);
        const float* values = a.Analyse(samples.data());
        mapper.Map(values, n / 2, r.firstBin, r.lastBin - r.firstBin, 538);
      }
    }
  }
  EXPECT_EQ(AllocationCount() - before, 0);
}
