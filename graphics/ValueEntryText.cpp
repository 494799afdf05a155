#include "graphics/ValueEntryText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "iplug/IPlugParam.h"

bool ValueEntryToNormalized(const IPlugParam& param, const char* text, double& normalized) {
  if (text == nullptr) return false;
  double real = 0.0;
  if (param.ValueTextCount() > 0) {
    int k = 0;
    if (!param.ValueForText(text, &k)) return false;
    real = k;
  } else {
    char* end = nullptr;
    errno = 0;
    real = std::strtod(text, &end);
    if (end == text || errno != 0 || !std::isfinite(real)) return false;
  }
  normalized = param.ToNormalized(real);
  return true;
}
