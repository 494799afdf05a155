#pragma once
// Static or plug-in-written text, and the display text of a parameter.
#include "graphics/IFontSpec.h"
#include "graphics/IWidget.h"

class ITextWidget : public IWidget {
 public:
  // Longer texts are cut to fit.
  static constexpr int kMaxText = 256;

  ITextWidget(IPlugBase* plugin, IBox rect, const IFontSpec& font, const char* text);
  bool Draw(IGraphicsHost* graphics) override;
  // Marks the control dirty only when the text really changes. The plug-in calls
  // this from its own threads: the text lives in a fixed buffer, so a redraw
  // running at the same time never reads freed memory.
  void SetText(const char* text);
  const char* Text() const { return text; }

 protected:
  IFontSpec font;
  char text[kMaxText] = {};
};

class IValueTextWidget : public ITextWidget {
 public:
  IValueTextWidget(IPlugBase* plugin, IBox rect, int paramIdx, const IFontSpec& font,
                   bool showLabel);
  // Shows the bound parameter's current display text (and label).
  bool Draw(IGraphicsHost* graphics) override;

 private:
  bool showLabel;
};
