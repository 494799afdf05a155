#include "plugin/display/FrequencyReadout.h"

#include <cmath>

#include "graphics/IGraphicsHost.h"
#include "plugin/engine/ScopeTexts.h"

namespace {
constexpr int kBoxWidth = 100;
constexpr int kBoxHeight = 14;
const IRgba kBacking{128, 0, 0, 0};
}  // namespace

FrequencyReadout::FrequencyReadout(IPlugBase* plugin, IBox rect, const IFontSpec& font)
    : IWidget(plugin, rect, -1), font_(font) {}

void FrequencyReadout::Show(int x, int y, double frequency) {
  x_ = x;
  y_ = y;
  frequency_ = frequency;
}

bool FrequencyReadout::HitTest(int, int) { return false; }

// The text hangs above the pointer and away from the nearer edge, so it stays
// inside the display.
IBox FrequencyReadout::TextBox() const {
  // Written so that NaN shows nothing as well.
  if (x_ < 0 || y_ < 0 || !(frequency_ > kLowestHz && frequency_ <= kHighestHz)) return IBox{};
  IBox box{x_, y_ - kBoxHeight, x_, y_};
  const int middle = static_cast<int>(std::trunc((rect.left + rect.right) * 0.5f));
  if (x_ >= middle) {
    box.left = x_ - kBoxWidth;
  } else {
    box.right = x_ + kBoxWidth;
  }
  return box;
}

bool FrequencyReadout::Draw(IGraphicsHost* graphics) {
  const IBox box = TextBox();
  if (box.Empty()) return true;
  char text[64];
  FormatFrequency(frequency_, text, sizeof(text));
  graphics->FillBox(kBacking, box, nullptr);
  return graphics->PaintText(font_, text, box);
}
