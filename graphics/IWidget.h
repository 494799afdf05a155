#pragma once
// Base of every element of the editor: a rectangle on the editor surface,
// optionally bound to one plug-in parameter, holding that parameter's value in
// normalised form, drawing itself through the graphics host and answering the
// mouse events the host routes to it.
//
// Threads: mouse events and Draw come from the editor's GUI thread;
// SetValueFromPlugin, SetHidden and SetDirty may come from whichever thread the
// host used to change a parameter (the plug-in's instance lock is held then), and
// the audio thread may ask a control to redraw. The value, the hidden flag and the
// redraw state are atomic for that: the redraw reads them without the instance
// lock, which it must never wait for.
#include <atomic>

#include "graphics/IBlend.h"
#include "graphics/IBox.h"
#include "graphics/IMouseFlags.h"

class IGraphicsHost;
class IPlugBase;

class IWidget {
 public:
  IWidget(IPlugBase* plugin, IBox rect, int paramIdx = -1, int blendMode = IBLEND_ALPHA,
          float weight = 1.0f);
  virtual ~IWidget() = default;
  IWidget(const IWidget&) = delete;
  IWidget& operator=(const IWidget&) = delete;

  // Right button opens value entry for the bound parameter.
  virtual void MouseDown(int x, int y, IMouseFlags mod);
  virtual void MouseUp(int x, int y);
  virtual void MouseDrag(int x, int y, int dx, int dy, IMouseFlags mod);
  // Restores the first value the plug-in sent, when there was one.
  virtual void MouseDoubleClick(int x, int y, IMouseFlags mod);
  // 0.01 per notch, 0.001 with shift or ctrl (fine adjustment).
  virtual void MouseWheel(int x, int y, IMouseFlags mod, int notches);
  virtual void MouseHover(int x, int y, IMouseFlags mod);
  virtual void MouseLeave();
  virtual bool Draw(IGraphicsHost* graphics) = 0;
  // The first value becomes the default; a value from the plug-in draws in two
  // consecutive redraws, so a change during a redraw is never lost.
  virtual void SetValueFromPlugin(double normalized);
  virtual void SetHidden(bool hide);
  virtual void SetDisabled(bool disable);
  virtual bool HitTest(int x, int y);
  // Clamps the value; with push, sends it to the plug-in (and so to the host).
  virtual void SetDirty(bool push = true);
  // After a redraw: clean, unless a redraw-again was asked for, which is used up.
  virtual void ClearDirty();
  virtual bool IsDirty();
  // Any thread: dirty now and for the redraw after the next one, so a change
  // made while the GUI thread is drawing this control is never lost.
  void SetDirtyTwice();

  // A value typed into value entry, or sent by another control.
  void SetValueFromUser(double normalized);
  // Asks the graphics host to open value entry for the bound parameter.
  void PromptParamEdit();

  IBox Rect() const { return rect; }
  // Everything the control may have drawn or may draw next: the area a redraw of
  // it must cover. Its rectangle, unless it draws past it (text reaching out of
  // its box, say). GUI thread.
  virtual IBox RedrawRect() { return rect; }
  IBox HitRect() const { return hitRect; }
  void SetHitRect(IBox r) { hitRect = r; }
  int ParamIdx() const { return paramIdx; }
  double Value() const { return value.load(std::memory_order_relaxed); }
  double DefaultValue() const { return defaultValue; }
  void SetValue(double v) { value.store(v, std::memory_order_relaxed); }
  void SetRange(double lo, double hi) {
    minValue = lo;
    maxValue = hi;
  }
  bool IsHidden() const { return hidden.load(std::memory_order_relaxed); }
  bool IsDisabled() const { return disabled.load(std::memory_order_relaxed); }
  IBlend Blend() const { return blend; }
  bool DblClickAsDown() const { return dblClickAsDown; }
  void SetDblClickAsDown(bool on) { dblClickAsDown = on; }
  void SetNoValueEntry(bool on) { noValueEntry = on; }
  IPlugBase* Plugin() const { return plugin; }
  IGraphicsHost* Graphics() const { return graphics; }
  // Set by the graphics host when it takes the control.
  void AttachTo(IGraphicsHost* host) { graphics = host; }

 protected:
  IPlugBase* plugin;
  IGraphicsHost* graphics = nullptr;
  IBox rect;
  IBox hitRect;
  int paramIdx;
  std::atomic<double> value{0.0};
  double defaultValue = -1.0;
  double minValue = 0.0;
  double maxValue = 1.0;
  std::atomic<bool> hidden{false};
  std::atomic<bool> disabled{false};
  bool noValueEntry = false;
  bool dblClickAsDown = false;
  IBlend blend;

 private:
  // Dirty and redraw-again in one word, so that a mark from another thread and the
  // GUI thread's clearing after a redraw can never lose one another.
  static constexpr unsigned kDirty = 1;
  static constexpr unsigned kRedrawAgain = 2;
  std::atomic<unsigned> redrawState{kDirty};
};
