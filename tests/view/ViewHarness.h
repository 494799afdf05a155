// The complete editor with audio played through the plug-in's process entry in
// blocks of any size, the sample rate set as a host sets it, and the display's
// pixels read back.
#pragma once

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "plugin/ScopeParams.h"
#include "plugin/display/ScopeEditor.h"
#include "plugin/display/ScopeView.h"
#include "tests/display/DisplayTestSupport.h"

namespace viewtest {

inline constexpr IBox kView = {80, 56, 618, 362};
inline constexpr int kWidth = 538;

// A signal: value of input (0..3) at an absolute sample index.
using Signal = std::function<float(int, long)>;

class Harness {
 public:
  explicit Harness(double sampleRate = 0.0) {
    if (sampleRate > 0.0) {
      Dispatch(e.effect, vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    }
    view = e.Editor().Widgets().view;
  }

  // Plays frames samples of f through processReplacing, in blocks of at most block.
  void Play(long frames, const Signal& f, int block = 512) {
    for (long done = 0; done < frames;) {
      const int n = static_cast<int>(std::min<long>(block, frames - done));
      PlayBlock(n, f);
      done += n;
    }
  }

  void PlayBlock(int n, const Signal& f) {
    for (auto& c : in_) c.resize(static_cast<std::size_t>(n));
    for (auto& c : out_) c.resize(static_cast<std::size_t>(n));
    for (int c = 0; c < 4; ++c) {
      for (int i = 0; i < n; ++i) in_[c][static_cast<std::size_t>(i)] = f(c, clock + i);
    }
    float* ins[] = {in_[0].data(), in_[1].data(), in_[2].data(), in_[3].data()};
    float* outs[] = {out_[0].data(), out_[1].data()};
    e.effect->processReplacing(e.effect, ins, outs, n);
    clock += n;
  }

  void Set(int idx, double normalized) { e.Automate(idx, normalized); }
  void Tick() { e.G().Tick(); }
  double Rate() { return e.Plug().ScopeSampleRate(); }
  IRgba Pixel(int x, int y) { return e.G().ReadPixel(x, y); }

  std::vector<IRgba> Pixels(IBox box) {
    std::vector<IRgba> pixels;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) pixels.push_back(Pixel(x, y));
    }
    return pixels;
  }

  EditorInstance e;
  ScopeView* view = nullptr;
  long clock = 0;

 private:
  std::vector<float> in_[4];
  std::vector<float> out_[2];
};

// The number of pixels that differ between two pictures of the same box.
inline int Differing(const std::vector<IRgba>& a, const std::vector<IRgba>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += !(a[i] == b[i]);
  return n;
}

// The columns of box where two pictures of it differ, as ranges, for messages.
inline std::string DifferingColumns(const std::vector<IRgba>& a, const std::vector<IRgba>& b,
                                    IBox box) {
  std::string text;
  const int w = box.W();
  int from = -1;
  for (int x = 0; x <= w; ++x) {
    bool differs = false;
    for (int y = 0; x < w && y < box.H() && !differs; ++y) {
      const std::size_t i = static_cast<std::size_t>(y * w + x);
      differs = i < a.size() && i < b.size() && !(a[i] == b[i]);
    }
    if (differs && from < 0) from = x;
    if (!differs && from >= 0) {
      char range[32];
      std::snprintf(range, sizeof(range), " %d..%d", box.left + from, box.left + x - 1);
      text += range;
      from = -1;
    }
  }
  return text.empty() ? " none" : text;
}

}  // namespace viewtest
