#pragma once
// Value entry drawn in the editor window itself, with no toolkit: a small text
// field for a number (digits, sign, point, Backspace; Return commits, Escape
// cancels), or, for a parameter with display texts, a small list to pick from.
//
// It follows the beat-driven rules of the editor's value entry: what the user
// commits or cancels takes effect on the next redraw beat (Step), while the field
// has the keyboard the editor does not redraw, and after a redraw the field shows
// the parameter's current text again (kRefresh). The field is drawn over the
// picture as it is presented (Draw), never into the surface the controls draw in.
//
// Loop thread only.
#include <string>
#include <vector>

#include "graphics/IBox.h"
#include "graphics/platform/x11/X11Keys.h"
#include "raster/RasterBitmap.h"

class IPlugParam;
class IWidget;

class X11ValueEntry {
 public:
  enum State { kIdle = 0, kFocused = 1, kRefresh = 2, kCancel = 3, kCommit = 4 };
  static constexpr int kMaxChars = 32;
  static constexpr int kFieldWidth = 36;
  static constexpr int kFieldHeight = 16;
  static constexpr int kItemHeight = 16;

  // Opens on the centre of control's rectangle, kept inside the editor.
  void Open(IWidget* control, IPlugParam* param, int editorWidth, int editorHeight);
  void Close();
  bool IsOpen() const { return control_ != nullptr; }
  bool IsList() const { return !items_.empty(); }
  IBox Box() const { return box_; }
  State GetState() const { return state_; }
  void SetState(State state) { state_ = state; }
  // Keyboard focus came or went. A commit or cancel already asked for stays.
  void SetFocus(bool focused);

  // Each returns true when the entry looks different afterwards.
  bool Key(EntryKeyPress key);
  // Pointer over a list item highlights it.
  bool Hover(int x, int y);
  // A left press on a list item picks it (committed on the next beat); a press
  // on the field does nothing more. False when (x, y) is outside the entry.
  bool Press(int x, int y);

  // The beat's step for kRefresh, kCommit and kCancel; true when it closed the entry.
  bool Step();
  // Draws the entry onto surface, clipped to clip.
  void Draw(RasterBitmap& surface, IBox clip) const;

  const std::string& Text() const { return text_; }
  const std::vector<std::string>& Items() const { return items_; }
  int Highlighted() const { return highlighted_; }

 private:
  std::string DisplayText() const;
  void LayOut();
  int ItemAt(int x, int y) const;

  IWidget* control_ = nullptr;
  IPlugParam* param_ = nullptr;
  State state_ = kIdle;
  std::string text_;
  bool untouched_ = true;  // the first key replaces the whole text
  std::vector<std::string> items_;
  int highlighted_ = -1;
  int centreX_ = 0;
  int centreY_ = 0;
  int editorWidth_ = 0;
  int editorHeight_ = 0;
  IBox box_;
};
