#include "plugin/engine/SpectrumMapper.h"

#include <algorithm>
#include <cmath>

namespace {

// trunc(x) as a column index, kept in -1 .. width so a huge or NaN x cannot
// overflow the conversion; -1 and width both mean "outside".
int Column(float x, int width) {
  if (!(x > -1.0f)) return -1;
  if (x >= static_cast<float>(width)) return width;
  return static_cast<int>(x);
}

// Writes column h of the curve when it lies inside the output.
void Put(float* out, int width, double h, double value) {
  if (h >= 0.0 && h < width) out[static_cast<int>(h)] = static_cast<float>(value);
}

}  // namespace

void SpectrumMapper::SetBins(int m) {
  if (m < 1) {
    position_.clear();
    return;
  }
  position_.resize(m);
  const double twoM = 2.0 * m;
  const double logTwoM = std::log(twoM);
  for (int i = 0; i < m; ++i) {
    position_[i] = static_cast<float>(std::exp((1.0 - i / twoM) * logTwoM) * (1.0 / twoM));
  }
}

const float* SpectrumMapper::Map(const float* values, int valueCount, int first, int count,
                                 int width) {
  width = std::max(width, 0);
  output_.assign(width, 0.0f);
  float* out = output_.data();
  // Clip the bin range to what both the values and the positions hold.
  const int available = values == nullptr ? 0 : std::min(valueCount, BinCount());
  if (first < 0) {
    count += first;
    first = 0;
  }
  count = std::min(count, available - first);
  if (count < 1 || width == 0) return out;

  const float* pos = position_.data() + first;
  const float* ys = values + first;
  columnOf_.resize(count);
  float* xs = columnOf_.data();
  const float b = pos[0];
  const float g = 1.0f / (pos[count - 1] - b);
  const float w = static_cast<float>(width);

  // Sparse bins: each on a column of its own, until two share a column.
  xs[0] = 0.0f;
  int i = 1;
  int previous = 0;
  for (; i < count; ++i) {
    const float x = (pos[i] - b) * g * w;
    xs[i] = x;
    const int col = Column(x, width);
    if (col == previous) break;
    previous = col;
  }
  if (i > 1) Interpolate(out, width, xs, ys, i);

  // Dense bins: the largest value on each column. Columns only grow with
  // the bin, so the running maximum stays in a register until the column
  // changes (reloading the stored value keeps it right in any order).
  int current = -1;
  float best = 0.0f;
  for (int j = i; j < count; ++j) {
    const int col = Column((pos[j] - b) * g * w, width);
    if (col != current) {
      if (current >= 0 && current < width) out[current] = best;
      current = col;
      if (col < 0 || col >= width) continue;
      best = out[col];
    }
    best = std::max(best, ys[j]);
  }
  if (current >= 0 && current < width) out[current] = best;
  return out;
}

void SpectrumMapper::Interpolate(float* out, int width, const float* xs, const float* ys, int n) {
  if (out == nullptr || n < 2) return;
  // Every loop also stops at the output's edge: nothing beyond it is stored.
  double h = xs[0];
  // Straight start up to the first midpoint.
  double e = (static_cast<double>(xs[0]) + xs[1]) / 2.0;
  double m = (static_cast<double>(ys[0]) + ys[1]) / 2.0;
  double y = ys[0];
  double slope = (static_cast<double>(ys[1]) - ys[0]) / (static_cast<double>(xs[1]) - xs[0]);
  for (; h < e && h < width; h += 1.0, y += slope) Put(out, width, h, y);

  // Bezier pieces from midpoint (e, m) through control point k to midpoint (o, l).
  for (int k = 1; k <= n - 2; ++k) {
    const double px = xs[k], py = ys[k];
    const double o = (px + xs[k + 1]) / 2.0;
    const double l = (py + ys[k + 1]) / 2.0;
    if (m == l) {
      for (; h < o && h < width; h += 1.0) Put(out, width, h, py);
    } else {
      for (; h < o && h < width; h += 1.0) {
        if (h <= e) {
          Put(out, width, h, m);
          continue;
        }
        const double bq = e - 2.0 * px + o;
        if (bq == 0.0) {
          Put(out, width, h, e == o ? m : m + (h - e) / (o - e) * (l - m));
          continue;
        }
        // Solve x(t) = h for the curve's parameter, then evaluate y(t).
        const double d = 2.0 * (px - e);
        const double t = (std::sqrt(d * d - 4.0 * bq * (e - h)) - d) / (2.0 * bq);
        Put(out, width, h, (1.0 - t) * (1.0 - t) * m + t * t * l + 2.0 * (1.0 - t) * t * py);
      }
    }
    e = o;
    m = l;
  }

  // Straight end from the last midpoint to the last point.
  slope =
      (static_cast<double>(ys[n - 1]) - ys[n - 2]) / (static_cast<double>(xs[n - 1]) - xs[n - 2]);
  y = m;
  for (; h <= xs[n - 1] && h < width; h += 1.0, y += slope) Put(out, width, h, y);
}
