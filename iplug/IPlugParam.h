// One automatable parameter: its kind, real range, step, curve, current value, name,
// unit label and optional texts for integer values. The host only ever sees the
// normalised form (0..1); this class owns the mapping and the display text.
//
// No lock of its own: IPlugBase holds its instance lock around every access.
#pragma once

#include <vector>

class IPlugParam {
 public:
  enum ParamType { kTypeNone = 0, kTypeBool = 1, kTypeEnum = 3, kTypeDouble = 4 };
  static constexpr int kTextSize = 32;  // names, labels and value texts: 31 chars + NUL

  struct ValueText {
    int value;
    char text[kTextSize];
  };

  // Definition, once per parameter. Texts longer than 31 characters are cut.
  void DefineDouble(const char* name, double defaultValue, double min, double max, double step,
                    const char* label = "");
  void DefineBool(const char* name, bool defaultValue);
  void DefineEnum(const char* name, int defaultValue, int count);
  void SetCurve(double curve);  // 0 is ignored
  void AddValueText(int value, const char* text);

  ParamType Type() const { return type_; }
  const char* Name() const { return name_; }
  const char* Label() const { return label_; }
  double Value() const { return value_; }
  double Min() const { return min_; }
  double Max() const { return max_; }
  double Step() const { return step_; }
  double Curve() const { return curve_; }
  int Precision() const { return precision_; }

  int ValueTextCount() const { return static_cast<int>(valueTexts_.size()); }
  const char* ValueTextAt(int i) const;   // the i-th text in insertion order, "" when none
  const char* ValueTextFor(int k) const;  // first text for value k, "" when none
  bool ValueForText(const char* text, int* k) const;

  double ToNormalized(double v) const;
  double Normalized() const { return ToNormalized(value_); }
  void SetFromNormalized(double n);
  // The real value SetFromNormalized(n) would store (the current value for a NaN).
  double ValueFromNormalized(double n) const;
  // Stores a real value clamped to [min, max], as state loading does (no step, no curve).
  void SetClamped(double v);
  // Writes the display text of x (a real value, or a normalised one) into out.
  void FormatValue(double x, bool isNormalized, char* out, int outSize) const;
  void FormatForHost(char* out, int outSize) const { FormatValue(value_, false, out, outSize); }

 private:
  double FromNormalized(double n) const;

  ParamType type_ = kTypeNone;
  double value_ = 0.0;
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double curve_ = 1.0;
  int precision_ = 0;
  char name_[kTextSize] = {};
  char label_[kTextSize] = {};
  std::vector<ValueText> valueTexts_;
};
