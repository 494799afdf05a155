#pragma once
// A graphics host with no window: what tests and the render tool draw with, and
// the editor on platforms whose window layer is not there yet.
//
// It does what a window layer does, on request: Tick() is one beat of the redraw
// timer (value-entry step, then collect and draw the dirty rectangle), the
// Press/Release/Move/... calls are the mouse messages, and value entry is a
// programmatic field the caller types into or picks an item of. Text is drawn
// with FreeType.
#include <atomic>
#include <string>
#include <vector>

#include "graphics/IGraphicsLice.h"
#include "graphics/platform/freetype/FreeTypeText.h"

class IGraphicsOffscreen : public IGraphicsLice {
 public:
  // Value-entry states, as the window layer's entry field moves through them.
  enum EntryState {
    kEntryIdle = 0,
    kEntryFocused = 1,
    kEntryRefresh = 2,
    kEntryCancel = 3,
    kEntryCommit = 4
  };

  IGraphicsOffscreen(IPlugBase* plugin, int width, int height, int fps);
  ~IGraphicsOffscreen() override;

  // --- Platform operations -------------------------------------------------------
  bool PresentRect(IBox r) override;
  // The first font stays for the life of the host (face, size and style);
  // colour and alignment follow each call. Clipped to the redraw rectangle.
  bool PaintText(const IFontSpec& font, const char* text, IBox box) override;
  IBox TextBounds(const IFontSpec& font, const char* text, IBox box) override;
  void PromptParamEdit(IWidget* control, IPlugParam* param) override;
  void GetHostFolder(std::string& out) override;
  void GetPluginFolder(std::string& out) override;
  void PromptFile(std::string& out, int action, const char* folder,
                  const char* extensions) override;
  bool PromptColor(IRgba& colour, const char* title) override;
  // Hands url to xdg-open when it is on the PATH. With a question there is no
  // one to answer it, so nothing is opened.
  bool ShellOpen(const char* url, const char* title, const char* question,
                 const char* errorText) override;
  // Without a window layer there is nothing to show inside a host's window: a
  // real parent makes this fail. A null parent opens the headless editor.
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetEditorWindow() override;
  RasterBitmap* LoadImageResource(int id, const char* name) override;

  // --- What the window's timer and messages would do -------------------------------
  // One timer beat; true when something was drawn.
  bool Tick();
  void Press(int x, int y, IMouseFlags mod);
  void Release(int x, int y, IMouseFlags mod);
  // With a button held, a drag of the captured control; otherwise hover.
  void Move(int x, int y, IMouseFlags mod);
  void DoubleClick(int x, int y, IMouseFlags mod);
  // delta in 120ths of a notch, as wheel messages count.
  void Wheel(int x, int y, IMouseFlags mod, int delta);
  void Leave();

  // --- Value entry ------------------------------------------------------------------
  // The entry's state has a lock of its own: the editor may be closed (which closes
  // the entry) on another thread than the one that ticks.
  bool IsValueEntryOpen() const;
  std::string ValueEntryText() const;
  std::vector<std::string> ValueEntryItems() const;
  int ValueEntryState() const;
  // The field gains or loses the keyboard focus; with it the editor does not redraw.
  void FocusValueEntry(bool focused);
  // Replaces the text and presses Return: committed on the next Tick.
  bool TypeValueEntry(const char* text);
  // Selects item index of a list entry: committed on the next Tick.
  bool PickValueEntryItem(int index);
  // Cancelled on the next Tick.
  void CancelValueEntry();

  // --- Inspection ---------------------------------------------------------------------
  // Union of the rectangles presented since the last call; empty when none.
  IBox TakePresented();
  int PresentCount() const { return presentCount; }
  bool WritePng(const char* path);

 private:
  void EntryStep();
  void CloseEntry();
  // True while the entry field has the keyboard focus: the mouse goes nowhere.
  bool EntryBlocksInput() const;
  std::string ParamDisplayText(const IPlugParam* param) const;

  std::atomic<bool> windowOpen{false};
  bool buttonDown = false;
  FreeTypeHostText text_;
  IBox presented;
  int presentCount = 0;

  mutable ILock entryLock;
  IWidget* entryControl = nullptr;
  IPlugParam* entryParam = nullptr;
  int entryState = kEntryIdle;
  std::string entryText;
  std::vector<std::string> entryItems;
};
