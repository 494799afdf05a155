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

// Columns are whole numbers counted from xs[0] = 0, so each stretch of the
// curve covers the columns h with from <= h < the stretch's end: an integer
// loop with no tests inside, which the compiler vectorises.
void SpectrumMapper::Interpolate(float* out, int width, const float* xs, const float* ys, int n) {
  if (out == nullptr || n < 2 || width <= 0) return;
  // First column at or past x (and at most width), for x of any size or NaN.
  const auto columnAt = [width](double x) {
    if (!(x > 0.0)) return 0;
    return x >= width ? width : static_cast<int>(std::ceil(x));
  };
  // Every loop also stops at the output's edge: nothing beyond it is stored.
  int h = columnAt(xs[0]);
  // Straight start up to the first midpoint.
  double e = (static_cast<double>(xs[0]) + xs[1]) / 2.0;
  double m = (static_cast<double>(ys[0]) + ys[1]) / 2.0;
  double y = ys[0];
  double slope = (static_cast<double>(ys[1]) - ys[0]) / (static_cast<double>(xs[1]) - xs[0]);
  for (const int end = columnAt(e); h < end; ++h, y += slope) out[h] = static_cast<float>(y);

  // Bezier pieces from midpoint (e, m) through control point k to midpoint (o, l).
  for (int k = 1; k <= n - 2; ++k) {
    const double px = xs[k], py = ys[k];
    const double o = (px + xs[k + 1]) / 2.0;
    const double l = (py + ys[k + 1]) / 2.0;
    const int end = columnAt(o);
    if (m == l) {
      for (; h < end; ++h) out[h] = static_cast<float>(py);
    } else {
      // Columns at or before the first midpoint (only one can be) take it.
      for (; h < end && h <= e; ++h) out[h] = static_cast<float>(m);
      const double bq = e - 2.0 * px + o;
      if (bq == 0.0) {
        // A straight piece: the control point is halfway.
        const double rise = e == o ? 0.0 : (l - m) / (o - e);
        for (; h < end; ++h) out[h] = static_cast<float>(m + (h - e) * rise);
      } else {
        // x(t) = h solved for the curve's parameter,
        //   t = (sqrt(d^2 - 4 bq (e - h)) - d) / (2 bq),  d = 2 (px - e),
        // and y(t) = (1-t)^2 m + t^2 l + 2 (1-t) t py = m + t (2 (py - m) + t (m + l - 2 py)).
        const double d = 2.0 * (px - e);
        const double base = d * d - 4.0 * bq * e, perColumn = 4.0 * bq;
        const double toT = 1.0 / (2.0 * bq);
        const double linear = 2.0 * (py - m), square = m + l - 2.0 * py;
        for (; h < end; ++h) {
          const double t = (std::sqrt(base + perColumn * h) - d) * toT;
          out[h] = static_cast<float>(m + t * (linear + t * square));
        }
      }
    }
    e = o;
    m = l;
  }

  // Straight end from the last midpoint to the last point (its column included).
  slope =
      (static_cast<double>(ys[n - 1]) - ys[n - 2]) / (static_cast<double>(xs[n - 1]) - xs[n - 2]);
  y = m;
  const double last = xs[n - 1];
  const int end =
      last >= width ? width : (last >= 0.0 ? static_cast<int>(std::floor(last)) + 1 : 0);
  for (; h < end; ++h, y += slope) out[h] = static_cast<float>(y);
}
