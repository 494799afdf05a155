#pragma once
// The editor's window layer on Windows: a child window inside the host's editor
// frame, a 24 fps redraw timer, the mouse messages turned into host calls, the
// draw surface copied to the screen with BitBlt, text drawn with GDI onto the
// surface, value entry in an EDIT or COMBOBOX child, the colour and file dialogs,
// the shell, the module folders and the module's PNG resources.
//
// Threads: everything here runs on the thread that owns the window (the host
// application's GUI thread), including construction and destruction.
#include <string>

#include "graphics/IGraphicsLice.h"
#include "graphics/platform/win32/Win32Text.h"

class IGraphicsLiceWin32 : public IGraphicsLice {
 public:
  // Value-entry states, moved by the entry's messages and stepped by the timer.
  enum EntryState {
    kEntryIdle = 0,
    kEntryFocused = 1,
    kEntryRefresh = 2,
    kEntryCancel = 3,
    kEntryCommit = 4
  };
  // The timer that drives the redraw cycle, and the value entry's control id.
  static constexpr unsigned kTimerId = 2;
  static constexpr int kEntryControlId = 99;
  static constexpr const char* kWindowClassName = "IPlugWndClass";

  // module is the plug-in's instance handle: the window class, resources and the
  // plug-in's folder belong to it.
  IGraphicsLiceWin32(IPlugBase* plugin, int width, int height, int fps, void* module);
  ~IGraphicsLiceWin32() override;

  // --- Platform operations -------------------------------------------------------
  // Creates the editor as a child of parent; opening again keeps the first
  // window's place and size and leaves one window. Null when creation fails.
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* GetEditorWindow() override { return window; }
  bool PresentRect(IBox r) override;
  // The first call's font stays for the life of the host; later calls change only
  // the colour. Not clipped (the redraw rectangle covers what is presented).
  bool PaintText(const IFontSpec& font, const char* text, IBox box) override;
  // The pixels PaintText draws for text, measured with GDI: with the first font
  // once a text is drawn, with font's own until then.
  IBox TextBounds(const IFontSpec& font, const char* text, IBox box) override;
  void PromptParamEdit(IWidget* control, IPlugParam* param) override;
  bool PromptColor(IRgba& colour, const char* title) override;
  // action 1 saves, anything else opens; out is empty when nothing was chosen.
  void PromptFile(std::string& out, int action, const char* folder,
                  const char* extensions) override;
  bool ShellOpen(const char* url, const char* title, const char* question,
                 const char* errorText) override;
  void GetHostFolder(std::string& out) override;
  void GetPluginFolder(std::string& out) override;
  RasterBitmap* LoadImageResource(int id, const char* name) override;
  // Also grows the window, and the host's frames it sits in, by the difference.
  void Resize(int width, int height) override;

  // --- Inspection, for tests and diagnostics -----------------------------------------
  void* ValueEntryWindow() const { return entryWindow; }
  int ValueEntryState() const { return entryState; }
  void* ValueEntryFont() const { return entryFont; }
  void* TextFont() const { return textFont; }
  // Editor windows open in this process (the window class exists while above 0).
  static int OpenWindowCount();

 private:
  friend struct Win32EditorMessages;

  // The timer's value-entry step; true when it consumed the tick.
  bool EntryStep();
  void CloseEntry();
  std::string EntryParamText() const;
  // Bookkeeping of a window that is gone, whoever destroyed it.
  void ForgetWindow();
  void ReleaseTextFont();

  void* module;
  void* window = nullptr;
  bool closing = false;  // our own DestroyWindow is running

  // Text: the first font, selected into the draw surface's device context.
  bool fontSelected = false;
  IRgba textColour{255, 0, 0, 0};
  void* textFont = nullptr;
  void* previousFont = nullptr;
  win32::TextInkCache inkCache;  // what texts in the first font cover

  // Value entry.
  void* entryWindow = nullptr;
  IWidget* entryControl = nullptr;
  IPlugParam* entryParam = nullptr;
  void* entryPrevProc = nullptr;
  void* entryFont = nullptr;
  int entryState = kEntryIdle;

  unsigned long* customColours = nullptr;  // 16 COLORREFs for the colour chooser
};

// True for a link that needs the network (http://, ftp://, ...); false for a
// document on this machine.
bool ShellTargetNeedsConnection(const char* target);
