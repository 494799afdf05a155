#pragma once
// Static or plug-in-written text, and the display text of a parameter.
#include "graphics/IFontSpec.h"
#include "graphics/IWidget.h"
#include "iplug/ILock.h"

class ITextWidget : public IWidget {
 public:
  // Longer texts are cut to fit.
  static constexpr int kMaxText = 256;

  ITextWidget(IPlugBase* plugin, IBox rect, const IFontSpec& font, const char* text);
  // Draws a copy of the text taken under the text's lock.
  bool Draw(IGraphicsHost* graphics) override;
  // The box and the glyphs of the text shown and of the text to show, which may
  // reach past the box (descenders, a text wider than its box): a redraw covers
  // them whole, so no part of a glyph is cut off or left behind. GUI thread.
  IBox RedrawRect() override;
  // Marks the control dirty only when the text really changes. The plug-in calls
  // this from host threads while the GUI thread draws: the text is copied in and
  // out under a lock of its own, held for the copy only and never while another
  // lock is taken, so the editor never shows (or reads past) half a text. A text
  // set while the control is being drawn is drawn again on the next redraw.
  void SetText(const char* text);
  // Copies the text into out (size bytes, always terminated).
  void CopyText(char* out, int size);
  // For the GUI thread and tests, when nothing else can write the text.
  const char* Text() const { return text; }

 protected:
  // Draws the given text (a copy the caller owns) in the control's font and box.
  bool DrawText(IGraphicsHost* graphics, const char* shown);
  // Keeps what was drawn as the text, without asking for a redraw.
  void StoreText(const char* shown);
  // The text this control will show next; a value text formats its parameter.
  virtual void NextText(char* out, int size);

  IFontSpec font;

 private:
  ILock textLock;
  char text[kMaxText] = {};
  IBox drawn_{};                  // the glyphs' box at the last Draw
  char measured_[kMaxText] = {};  // the text measuredBox_ belongs to
  IBox measuredBox_{};
};

class IValueTextWidget : public ITextWidget {
 public:
  IValueTextWidget(IPlugBase* plugin, IBox rect, int paramIdx, const IFontSpec& font,
                   bool showLabel);
  // Shows the bound parameter's current display text (and label).
  bool Draw(IGraphicsHost* graphics) override;
  // Also when the parameter's text changed without a value reaching this control
  // (another control bound to the same parameter was moved).
  bool IsDirty() override;

 protected:
  void NextText(char* out, int size) override;

 private:
  bool showLabel;
};
