#pragma once

#include <vector>

// Maps the magnitudes of a range of FFT bins onto the display's pixel
// columns on a warped frequency axis that gives low frequencies more room.
// Where bins are sparse (several columns per bin) the columns follow a smooth
// curve through the bins; where they are dense each column shows the
// largest bin that falls on it. One per display, used under its lock.
class SpectrumMapper {
 public:
  // Bin positions for m bins (m = fftSize / 2): position[i] = (2m)^(-i / 2m),
  // 1 at bin 0 and falling towards (2m)^(-1/2). m < 1 clears them.
  void SetBins(int m);
  int BinCount() const { return static_cast<int>(position_.size()); }
  // Position of bin i on the warped axis; 0 outside 0 .. BinCount() - 1.
  float Position(int i) const { return i >= 0 && i < BinCount() ? position_[i] : 0.0f; }

  // Maps bins first .. first + count - 1 of `values` (valueCount entries)
  // onto `width` columns and returns them (width floats, 0 where no bin
  // falls). The bin range is clipped to the bins that exist both in `values`
  // and in SetBins; an empty range gives all zeros. Never reads or writes
  // outside the buffers, whatever the arguments. Allocates only when count
  // or width grows beyond every earlier call.
  const float* Map(const float* values, int valueCount, int first, int count, int width);

  // Smooth curve through the n >= 2 points (xs[k], ys[k]), xs[0] = 0 and
  // increasing: straight from the first point to the first midpoint, then
  // quadratic Bezier pieces between neighbouring midpoints with the inner
  // points as control points, straight again after the last midpoint. Writes
  // the value of every whole column h = 0, 1, ... up to xs[n-1] to out[h],
  // skipping columns at or beyond width.
  static void Interpolate(float* out, int width, const float* xs, const float* ys, int n);

 private:
  std::vector<float> position_;
  std::vector<float> columnOf_;  // column positions of the sparse bins
  std::vector<float> output_;
};
