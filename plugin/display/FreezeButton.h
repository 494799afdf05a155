// The text button under the display's right edge: "FREEZE" while the display runs,
// "UNFREEZE" while it is frozen. Either mouse button toggles it. It is the only way
// to unfreeze; a click on the display freezes too and then sets this button to 1.
// Its value is not a parameter: it is neither saved nor sent to the host.
#pragma once

#include "graphics/IFontSpec.h"
#include "graphics/IWidget.h"

class ITextWidget;
class ScopePlugin;
class ScopeView;

class FreezeButton : public IWidget {
 public:
  FreezeButton(ScopePlugin* plugin, IBox rect, const IFontSpec& font);

  // The view to freeze and the cursor labels to empty when unfreezing in the time
  // domain; any of them may be null.
  void Wire(ScopeView* view, ITextWidget* leftLabel, ITextWidget* rightLabel);

  void MouseDown(int x, int y, IMouseFlags mod) override;
  bool Draw(IGraphicsHost* graphics) override;
  // The caption too, where it is wider than the button's box.
  bool HitTest(int x, int y) override;
  IBox RedrawRect() override;

  const char* Caption() const;
  // Where the caption is drawn: right-aligned in the box while it fits, else
  // from the box's left edge on, so that it never covers the zoom bar left of it.
  IBox CaptionBox(IGraphicsHost* graphics, const char* caption);

 private:
  ScopePlugin* scope_;
  IFontSpec font_;
  ScopeView* view_ = nullptr;
  ITextWidget* leftLabel_ = nullptr;
  ITextWidget* rightLabel_ = nullptr;
};
