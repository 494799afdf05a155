// The X zoom bar under the display: two fader handles, "X zoom low" and "X zoom
// high", on one track. Dragging a handle moves it; dragging the bar between them
// moves both; the wheel narrows or widens the range. The bar lies over the two
// faders and takes the mouse first, then hands each event to the fader it concerns.
#pragma once

#include "graphics/IFaderWidget.h"
#include "graphics/IImage.h"
#include "graphics/IRgba.h"
#include "graphics/IWidget.h"

class IGraphicsHost;

class ZoomRangeBar : public IWidget {
 public:
  enum DragMode : int { kDragNone = 0, kDragLow = 1, kDragHigh = 2, kDragBoth = 3 };
  // The smallest distance kept between the two handles' values.
  static constexpr double kMinGap = 0.001;

  // Creates both faders (parameters lowParam and highParam) with the handle image.
  ZoomRangeBar(IPlugBase* plugin, int x, int y, int length, int lowParam, int highParam,
               IImage handle, int direction, IRgba colour);
  ~ZoomRangeBar() override;

  // Attaches the low fader, the high fader and then the bar to graphics, which
  // takes ownership of all three.
  void AddTo(IGraphicsHost* graphics);

  void MouseDown(int x, int y, IMouseFlags mod) override;
  void MouseUp(int x, int y) override;
  void MouseDrag(int x, int y, int dx, int dy, IMouseFlags mod) override;
  void MouseDoubleClick(int x, int y, IMouseFlags mod) override;
  void MouseWheel(int x, int y, IMouseFlags mod, int notches) override;
  bool Draw(IGraphicsHost* graphics) override;
  void SetHidden(bool hide) override;

  // Which part of the bar (x, y) picks: a handle or the whole range.
  int HitPart(int x, int y) const;
  int Mode() const { return mode_; }
  IFaderWidget* Low() const { return low_; }
  IFaderWidget* High() const { return high_; }

 private:
  void LimitFaders();
  void FreeFaders();
  // The host hears each gesture as one edit of each end it moves.
  void BeginEdit(int mode);
  void EndEdit();
  bool IsHorizontal() const { return low_->IsHorizontal(); }

  IFaderWidget* low_;
  IFaderWidget* high_;
  bool attached_ = false;
  int mode_ = kDragNone;
  int editMode_ = kDragNone;  // the ends inside an open edit
  IRgba bright_;
  IRgba dim_;
};
