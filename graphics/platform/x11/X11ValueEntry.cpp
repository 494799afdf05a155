#include "graphics/platform/x11/X11ValueEntry.h"

#include <algorithm>

#include "graphics/IFontSpec.h"
#include "graphics/IWidget.h"
#include "graphics/ValueEntryText.h"
#include "graphics/platform/freetype/FreeTypeText.h"
#include "iplug/IPlugBase.h"
#include "iplug/IPlugParam.h"
#include "raster/RasterBlit.h"
#include "raster/RasterMode.h"

namespace {

constexpr RasterPixel kPaper = 0xFFFFFFFF;
constexpr RasterPixel kInk = 0xFF000000;
constexpr RasterPixel kFrame = 0xFF404040;
constexpr RasterPixel kSelection = 0xFF3875D7;
constexpr int kTextPad = 4;

IFontSpec EntryFont(RasterPixel colour, int align) {
  IFontSpec f;  // Arial, 14 pixels
  f.colour = IRgbaFromPixel(colour);
  f.align = align;
  return f;
}

void Fill(RasterBitmap& s, IBox box, IBox clip, RasterPixel colour) {
  const IBox r = IBoxIntersection(box, clip);
  if (r.Empty() || r.W() <= 0 || r.H() <= 0) return;
  RasterFillRect(&s, r.left, r.top, r.W(), r.H(), colour, 1.0f, BLIT_COPY);
}

void Frame(RasterBitmap& s, IBox b, IBox clip) {
  Fill(s, IBox{b.left, b.top, b.right, b.top + 1}, clip, kFrame);
  Fill(s, IBox{b.left, b.bottom - 1, b.right, b.bottom}, clip, kFrame);
  Fill(s, IBox{b.left, b.top, b.left + 1, b.bottom}, clip, kFrame);
  Fill(s, IBox{b.right - 1, b.top, b.right, b.bottom}, clip, kFrame);
}

int TextWidth(const std::string& text) {
  return std::max(0, FreeTypeTextWidth(EntryFont(kInk, IALIGN_LEFT), text.c_str()));
}

}  // namespace

void X11ValueEntry::Open(IWidget* control, IPlugParam* param, int editorWidth, int editorHeight) {
  control_ = control;
  param_ = param;
  state_ = kIdle;
  const IBox r = control->Rect();
  centreX_ = int((r.left + r.right) * 0.5);
  centreY_ = int((r.top + r.bottom) * 0.5);
  editorWidth_ = editorWidth;
  editorHeight_ = editorHeight;
  items_.clear();
  for (int i = 0; i < param->ValueTextCount(); ++i) items_.emplace_back(param->ValueTextAt(i));
  text_ = DisplayText();
  untouched_ = true;
  highlighted_ = int(std::find(items_.begin(), items_.end(), text_) - items_.begin());
  if (highlighted_ >= int(items_.size())) highlighted_ = -1;
  LayOut();
}

void X11ValueEntry::Close() {
  control_ = nullptr;
  param_ = nullptr;
  state_ = kIdle;
  text_.clear();
  items_.clear();
  highlighted_ = -1;
  box_ = IBox{};
}

std::string X11ValueEntry::DisplayText() const {
  char text[IPlugParam::kTextSize] = {};
  param_->FormatForHost(text, sizeof text);
  return text;
}

void X11ValueEntry::LayOut() {
  int w = 0;
  int h = 0;
  int left = 0;
  int top = 0;
  if (IsList()) {
    w = 24;
    for (const std::string& item : items_) w = std::max(w, int(item.size()) * 8 + 24);
    h = int(items_.size()) * kItemHeight + 2;
    left = centreX_ - w / 2;
    top = centreY_;
  } else {
    w = std::max(kFieldWidth, TextWidth(text_) + 2 * kTextPad);
    h = kFieldHeight;
    left = centreX_ - w / 2;
    top = centreY_ - kFieldHeight / 2;
  }
  // Near the editor's edges the entry moves in rather than being cut off.
  left = std::max(0, std::min(left, editorWidth_ - w));
  top = std::max(0, std::min(top, editorHeight_ - h));
  box_ = IBox{left, top, left + w, top + h};
}

void X11ValueEntry::SetFocus(bool focused) {
  if (focused && (state_ == kIdle || state_ == kRefresh)) state_ = kFocused;
  if (!focused && state_ == kFocused) state_ = kIdle;
}

bool X11ValueEntry::Key(EntryKeyPress key) {
  // Once committed or cancelled the entry waits for the beat; later keys are too late.
  if (!IsOpen() || state_ == kCommit || state_ == kCancel) return false;
  switch (key.kind) {
    case EntryKeyPress::kCommit:
      if (IsList() && highlighted_ >= 0) text_ = items_[size_t(highlighted_)];
      state_ = kCommit;
      return false;
    case EntryKeyPress::kCancel:
      state_ = kCancel;
      return false;
    case EntryKeyPress::kUp:
    case EntryKeyPress::kDown: {
      if (!IsList()) return false;
      const int step = key.kind == EntryKeyPress::kUp ? -1 : 1;
      const int next = std::clamp(highlighted_ + step, 0, int(items_.size()) - 1);
      if (next == highlighted_) return false;
      highlighted_ = next;
      return true;
    }
    case EntryKeyPress::kChar:
      if (IsList()) return false;
      if (untouched_) text_.clear();
      untouched_ = false;
      if (int(text_.size()) >= kMaxChars) return false;
      text_.push_back(key.ch);
      LayOut();
      return true;
    case EntryKeyPress::kBackspace:
      if (IsList()) return false;
      if (untouched_) {
        text_.clear();
      } else if (!text_.empty()) {
        text_.pop_back();
      }
      untouched_ = false;
      LayOut();
      return true;
    case EntryKeyPress::kNone:
      return false;
  }
  return false;
}

int X11ValueEntry::ItemAt(int x, int y) const {
  if (!IsList() || !box_.Contains(x, y)) return -1;
  return std::clamp((y - box_.top - 1) / kItemHeight, 0, int(items_.size()) - 1);
}

bool X11ValueEntry::Hover(int x, int y) {
  const int item = ItemAt(x, y);
  if (item < 0 || item == highlighted_) return false;
  highlighted_ = item;
  return true;
}

bool X11ValueEntry::Press(int x, int y) {
  if (!IsOpen() || !box_.Contains(x, y)) return false;
  const int item = ItemAt(x, y);
  if (item >= 0) {
    highlighted_ = item;
    text_ = items_[size_t(item)];
    state_ = kCommit;
  }
  return true;
}

bool X11ValueEntry::Step() {
  if (!IsOpen()) return false;
  switch (state_) {
    case kRefresh: {
      const std::string shown = DisplayText();
      if (shown != text_ || !untouched_) {
        text_ = shown;
        untouched_ = true;
        LayOut();
      }
      state_ = kIdle;
      return false;
    }
    case kCommit: {
      // Text that means nothing for the parameter leaves it alone.
      double normalized = 0.0;
      if (ValueEntryToNormalized(*param_, text_.c_str(), normalized)) {
        // A typed value is a gesture of its own for the host, bracketed like a drag.
        IPlugBase* plugin = control_->Plugin();
        const int index = control_->ParamIdx();
        if (plugin != nullptr && index >= 0) plugin->BeginParameterEdit(index);
        control_->SetValueFromUser(normalized);
        if (plugin != nullptr && index >= 0) plugin->EndParameterEdit(index);
      }
      Close();
      return true;
    }
    case kCancel:
      Close();
      return true;
    case kIdle:
    case kFocused:
      return false;
  }
  return false;
}

void X11ValueEntry::Draw(RasterBitmap& s, IBox clip) const {
  if (!IsOpen() || !IBoxIntersects(box_, clip)) return;
  const IBox area = IBoxIntersection(box_, clip);
  Fill(s, box_, clip, kPaper);
  Frame(s, box_, clip);
  if (IsList()) {
    for (int i = 0; i < int(items_.size()); ++i) {
      const IBox row{box_.left + 1, box_.top + 1 + i * kItemHeight, box_.right - 1,
                     box_.top + 1 + (i + 1) * kItemHeight};
      const bool lit = i == highlighted_;
      if (lit) Fill(s, row, clip, kSelection);
      const IBox textBox{row.left + kTextPad, row.top + 1, row.right, row.bottom};
      FreeTypeDrawText(&s, EntryFont(lit ? kPaper : kInk, IALIGN_LEFT), items_[size_t(i)].c_str(),
                       textBox, IBoxIntersection(row, area));
    }
    return;
  }
  const IBox inner{box_.left + 1, box_.top + 1, box_.right - 1, box_.bottom - 1};
  const int width = TextWidth(text_);
  const int centre = (box_.left + box_.right) / 2;
  if (untouched_ && !text_.empty()) {
    // The whole text is selected: the first key replaces it.
    Fill(s, IBox{centre - width / 2 - 1, inner.top, centre - width / 2 + width + 1, inner.bottom},
         area, kSelection);
  }
  FreeTypeDrawText(&s, EntryFont(untouched_ ? kPaper : kInk, IALIGN_CENTER), text_.c_str(),
                   IBox{box_.left, box_.top + 1, box_.right, box_.bottom},
                   IBoxIntersection(inner, area));
  if (!untouched_) {
    const int caret = centre - width / 2 + width + 1;
    Fill(s, IBox{caret, inner.top + 1, caret + 1, inner.bottom - 1}, area, kInk);
  }
}
