#pragma once
// The editor on Linux: the graphics host in an X11 child window of the host's
// editor window (the window id a host passes to effEditOpen).
//
// Threads. Everything the window does — reading its events, the redraw beats,
// presenting, value entry — runs on the one editor thread of the process
// (X11EditorLoop, which explains why). The host's threads only open and close the
// window: OpenEditorWindow and CloseEditorWindow make the X requests for that
// themselves and hand the window to the loop, without waiting for it, because the
// host calls them holding the instance lock, which a redraw on the loop thread may
// be waiting for. What they share with the loop thread is the window id and a
// generation count, both atomic; the loop thread starts each new window afresh
// (everything dirty, no value entry, no press held) on its first beat.
// ShutDownEditor, called without the instance lock before the plug-in is destroyed
// (and by the destructor), closes the window and waits until the loop thread has
// left this editor, so nothing of the loop touches the plug-in afterwards.
//
// The beat (every 1000 / fps ms) is the timer of the editor's message table: first
// the value-entry step, then the dirty controls are drawn and presented. Pointer
// events follow the same table: a press captures the pointer (the X server's
// implicit grab does that), drags go to the captured control, a quick second left
// press is a double click, each wheel step one notch, hover, and leave once a
// hover asked for it. Text is FreeType's, as in the off-screen host.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "graphics/IGraphicsLice.h"
#include "graphics/platform/freetype/FreeTypeText.h"
#include "graphics/platform/x11/X11EditorLoop.h"
#include "graphics/platform/x11/X11PointerInput.h"
#include "graphics/platform/x11/X11ValueEntry.h"

class X11Presenter;

class IGraphicsX11 : public IGraphicsLice, private X11LoopClient {
 public:
  IGraphicsX11(IPlugBase* plugin, int width, int height, int fps);
  ~IGraphicsX11() override;

  // --- Platform operations -------------------------------------------------------
  // Loop thread (from DrawDirty): shows r of the draw surface, value entry over it.
  bool PresentRect(IBox r) override;
  // The first font stays for the life of the host; colour and alignment follow
  // each call. Clipped to the redraw rectangle.
  bool PaintText(const IFontSpec& font, const char* text, IBox box) override;
  IBox TextBounds(const IFontSpec& font, const char* text, IBox box) override;
  // Opens the drawn value entry and gives it the keyboard. Loop thread.
  void PromptParamEdit(IWidget* control, IPlugParam* param) override;
  void GetHostFolder(std::string& out) override;
  void GetPluginFolder(std::string& out) override;
  // Not available without a toolkit: out stays empty.
  void PromptFile(std::string& out, int action, const char* folder,
                  const char* extensions) override;
  // Not available without a toolkit: false, colour unchanged.
  bool PromptColor(IRgba& colour, const char* title) override;
  bool ShellOpen(const char* url, const char* title, const char* question,
                 const char* errorText) override;
  // parent is the host's X11 window id. Opening again keeps the first window's
  // place and size. Null when the display or the parent cannot be used.
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetEditorWindow() override;
  void ShutDownEditor() override;
  void Resize(int width, int height) override;
  RasterBitmap* LoadImageResource(int id, const char* name) override;

 private:
  void OnEvent(const xcb_generic_event_t& event) override;
  void OnFrame() override;

  void StartWindow();
  void Show(IBox r);
  void HandlePointer(const X11PointerAction& action, int button);
  bool EntryTakesPointer(const X11PointerAction& action, int button);
  void HandleKey(const xcb_key_press_event_t& event);
  void HandleFocus(const xcb_focus_in_event_t& event, bool in);
  void SetKeyboardWanted(bool wanted);
  void EntryClosed(IBox where);

  std::atomic<const X11Screen*> screen_{nullptr};  // set by the first open, then fixed
  std::atomic<std::uint32_t> window_{0};
  std::atomic<unsigned> generation_{0};

  // Loop thread only.
  unsigned startedGeneration_ = 0;
  std::unique_ptr<X11Presenter> presenter_;
  X11PointerInput pointer_;
  bool captured_ = false;  // the editor got a press whose release is still to come
  X11ValueEntry entry_;
  bool entryChanged_ = false;  // the entry looks different from what was presented
  xcb_window_t focusBefore_ = 0;
  IBox exposed_;
  FreeTypeHostText text_;
};
