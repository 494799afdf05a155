// The vertical Y zoom fader left of the display: a dim track with the part below
// the handle lit. Mouse handling is the stock fader's.
#pragma once

#include "graphics/IFaderWidget.h"
#include "graphics/IRgba.h"

class ZoomSlider : public IFaderWidget {
 public:
  ZoomSlider(IPlugBase* plugin, int x, int y, int length, int paramIdx, IImage handle,
             IRgba colour);

  bool Draw(IGraphicsHost* graphics) override;

 private:
  IRgba bright_;
  IRgba dim_;
};
