#include "iplug/IPlugParam.h"

#include "iplug/TextCopy.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Smallest p in 0..6 with step * 10^p integral, 6 when none is.
int PrecisionForStep(double step) {
  int p = 0;
  double s = step;
  while (p < 6 && !(s == std::floor(s))) {
    ++p;
    s *= 10.0;
  }
  return p;
}

}  // namespace

void IPlugParam::DefineDouble(const char* name, double defaultValue, double min, double max,
                              double step, const char* label) {
  if (type_ == kTypeNone) type_ = kTypeDouble;
  CopyText(name_, name, kTextSize);
  CopyText(label_, label, kTextSize);
  value_ = defaultValue;
  min_ = min;
  max_ = std::fmax(max, min + step);
  step_ = step;
  precision_ = PrecisionForStep(step);
}

void IPlugParam::DefineBool(const char* name, bool defaultValue) {
  if (type_ == kTypeNone) type_ = kTypeBool;
  DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
  AddValueText(0, "off");
  AddValueText(1, "on");
}

void IPlugParam::DefineEnum(const char* name, int defaultValue, int count) {
  if (type_ == kTypeNone) type_ = kTypeEnum;
  DefineDouble(name, defaultValue, 0.0, count - 1, 1.0, "");
}

void IPlugParam::SetCurve(double curve) {
  if (curve != 0.0) curve_ = curve;
}

void IPlugParam::AddValueText(int value, const char* text) {
  ValueText entry{value, {}};
  CopyText(entry.text, text, kTextSize);
  valueTexts_.push_back(entry);
}

const char* IPlugParam::ValueTextAt(int i) const {
  if (i < 0 || i >= ValueTextCount()) return "";
  return valueTexts_[static_cast<std::size_t>(i)].text;
}

const char* IPlugParam::ValueTextFor(int k) const {
  for (const ValueText& entry : valueTexts_) {
    if (entry.value == k) return entry.text;
  }
  return "";
}

bool IPlugParam::ValueForText(const char* text, int* k) const {
  if (text == nullptr) return false;
  for (const ValueText& entry : valueTexts_) {
    if (std::strcmp(entry.text, text) == 0) {
      if (k != nullptr) *k = entry.value;
      return true;
    }
  }
  return false;
}

double IPlugParam::ToNormalized(double v) const {
  const double range = max_ - min_;
  // A degenerate range (step 0 and max == min) cannot be mapped; report its bottom.
  if (!(range > 0.0)) return 0.0;
  if (v < min_) v = min_;
  if (v > max_) v = max_;
  return std::pow((v - min_) / range, 1.0 / curve_);
}

double IPlugParam::FromNormalized(double n) const {
  return min_ + (max_ - min_) * std::pow(n, curve_);
}

double IPlugParam::ValueFromNormalized(double n) const {
  // A host may send anything as a float. A NaN would become the value and a negative
  // number would fall below min (or give NaN through a fractional power), so the
  // normalised value is held to 0..1 first; in-range values are unaffected.
  if (std::isnan(n)) return value_;
  if (n < 0.0) n = 0.0;
  if (n > 1.0) n = 1.0;
  double v = FromNormalized(n);
  if (type_ != kTypeDouble) v = std::floor(v / step_ + 0.5) * step_;
  if (v > max_) v = max_;
  return v;
}

void IPlugParam::SetFromNormalized(double n) { value_ = ValueFromNormalized(n); }

void IPlugParam::SetClamped(double v) {
  if (std::isnan(v)) v = min_;
  if (v < min_) v = min_;
  if (v > max_) v = max_;
  value_ = v;
}

void IPlugParam::FormatValue(double x, bool isNormalized, char* out, int outSize) const {
  if (out == nullptr || outSize <= 0) return;
  if (isNormalized) x = FromNormalized(x);
  if (!valueTexts_.empty() && x > -2147483648.0 && x < 2147483648.0) {
    const char* text = ValueTextFor(static_cast<int>(x));
    if (text[0] != '\0') {
      CopyText(out, text, static_cast<std::size_t>(outSize));
      return;
    }
  }
  const auto size = static_cast<std::size_t>(outSize);
  if (x == 0.0) {
    std::snprintf(out, size, "0");
  } else if (precision_ == 0) {
    // Truncation toward zero as an integer; values beyond int32 print unclamped.
    if (x > -2147483648.0 && x < 2147483648.0) {
      std::snprintf(out, size, "%d", static_cast<int>(x));
    } else {
      std::snprintf(out, size, "%.0f", std::trunc(x));
    }
  } else {
    char format[16];
    std::snprintf(format, sizeof(format), "%%.%df", precision_);
    std::snprintf(out, size, format, x);
  }
}
