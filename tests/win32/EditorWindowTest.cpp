// The Win32 editor window: its window and class life cycle, the message table,
// value entry, GDI text and the release of every window and GDI object it makes.
// Runs under Windows or wine (with a display).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/IWidget.h"
#include "graphics/platform/win32/IGraphicsLiceWin32.h"
#include "iplug/IPlugParam.h"
#include "tests/iplug/TestInstance.h"
#include "tests/win32/WinCheck.h"

namespace {

constexpr unsigned kTimer = IGraphicsLiceWin32::kTimerId;

// Records what reaches it; draws a solid box.
class Recorder : public IWidget {
 public:
  Recorder(IPlugBase* plugin, IBox r, int param) : IWidget(plugin, r, param) {}
  bool Draw(IGraphicsHost* g) override {
    ++draws;
    return g->FillBox(IRgba{255, 0, 128, 0}, rect, nullptr);
  }
  void MouseWheel(int x, int y, IMouseFlags mod, int notches) override {
    wheels.push_back(notches);
    IWidget::MouseWheel(x, y, mod, notches);
  }
  int draws = 0;
  std::vector<int> wheels;
};

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

HWND MakeParent(int x = 30, int y = 30) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = Module();
    wc.lpszClassName = "WinCheckParent";
    RegisterClassA(&wc);
    registered = true;
  }
  HWND parent = CreateWindowExA(0, "WinCheckParent", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x,
                                y, 500, 400, nullptr, nullptr, Module(), nullptr);
  return parent;
}

void Pump(int milliseconds) {
  const DWORD end = GetTickCount() + DWORD(milliseconds);
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(1);
  } while (LONG(end - GetTickCount()) > 0);
}

// Pumps until done() holds, for at most ten seconds (far beyond what a busy
// machine needs); whether it came to hold.
template <typename Condition>
bool PumpUntil(Condition done) {
  const DWORD end = GetTickCount() + 10000;
  while (!done()) {
    if (LONG(end - GetTickCount()) <= 0) return false;
    Pump(1);
  }
  return true;
}

int Children(HWND parent) {
  int n = 0;
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) ++n;
  return n;
}

bool ClassRegistered() {
  WNDCLASSA wc = {};
  return GetClassInfoA(Module(), IGraphicsLiceWin32::kWindowClassName, &wc) != 0;
}

// A test plug-in with a Win32 editor of 200 x 100 and one recording control per
// parameter: switch at x 0, choice at x 50, gain at x 100.
struct Editor {
  TestInstance<> instance;
  IGraphicsLiceWin32* g = nullptr;
  Recorder* controls[3] = {};
  HWND parent = nullptr;

  Editor() {
    g = new IGraphicsLiceWin32(&instance.Plug(), 200, 100, 0, Module());
    for (int i = 0; i < 3; ++i) {
      controls[i] = new Recorder(&instance.Plug(), IBox{i * 50, 0, i * 50 + 40, 40}, i);
      g->AddWidget(controls[i]);
    }
    instance.Plug().AttachEditor(g);
    parent = MakeParent();
  }
  ~Editor() {
    instance.Call(vst::effClose);  // deletes the editor, whatever state it is in
    instance.effect = nullptr;
    DestroyWindow(parent);
    Pump(5);
  }
  HWND Open() {
    instance.Call(vst::effEditOpen, 0, 0, parent);
    return Window();
  }
  HWND Window() const { return static_cast<HWND>(g->GetEditorWindow()); }
  HWND Entry() const { return static_cast<HWND>(g->ValueEntryWindow()); }
  void Tick() { SendMessageA(Window(), WM_TIMER, kTimer, 0); }
  LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
  LPARAM ScreenAt(int x, int y) {
    POINT p = {x, y};
    ClientToScreen(Window(), &p);
    return MAKELPARAM(p.x, p.y);
  }
  double Value(int param) { return instance.Plug().Param(param)->Normalized(); }
};

}  // namespace

WIN_TEST(OpenMakesAChildOfTheHostWindowWithItsTimer) {
  Editor e;
  HWND w = e.Open();
  CHECK(w != nullptr);
  CHECK(GetParent(w) == e.parent);
  CHECK((GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD) != 0);
  RECT r = {};
  GetClientRect(w, &r);
  CHECK_EQ(r.right, 200L);
  CHECK_EQ(r.bottom, 100L);
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  CHECK(std::strcmp(name, "IPlugWndClass") == 0);
  // The redraw timer runs: dirty controls get drawn without anyone asking.
  e.controls[0]->draws = 0;
  e.controls[0]->SetDirty(false);
  CHECK(PumpUntil([&] { return e.controls[0]->draws > 0; }));
  CHECK_EQ(IGraphicsLiceWin32::OpenWindowCount(), 1);
}

WIN_TEST(OpeningTwiceKeepsOneWindowAtTheFirstOnesPlaceAndSize) {
  Editor e;
  HWND first = e.Open();
  SetWindowPos(first, nullptr, 10, 20, 150, 90, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND second = e.Open();
  CHECK(second != nullptr);
  CHECK(!IsWindow(first));
  CHECK_EQ(Children(e.parent), 1);
  RECT r = {};
  GetWindowRect(second, &r);
  MapWindowPoints(HWND_DESKTOP, e.parent, reinterpret_cast<POINT*>(&r), 2);
  CHECK_EQ(r.left, 10L);
  CHECK_EQ(r.top, 20L);
  CHECK_EQ(r.right - r.left, 150L);
  CHECK_EQ(r.bottom - r.top, 90L);
  CHECK_EQ(IGraphicsLiceWin32::OpenWindowCount(), 1);
}

WIN_TEST(TheClassLivesWhileAnyEditorIsOpen) {
  CHECK(!ClassRegistered());
  {
    Editor a, b;
    a.Open();
    b.Open();
    CHECK(ClassRegistered());
    a.instance.Call(vst::effEditClose);
    CHECK(ClassRegistered());
    CHECK(IsWindow(b.Window()));
    b.instance.Call(vst::effEditClose);
    CHECK(!ClassRegistered());
    CHECK_EQ(IGraphicsLiceWin32::OpenWindowCount(), 0);
  }
  CHECK(!ClassRegistered());
}

WIN_TEST(OpenWithoutAParentFailsCleanly) {
  Editor e;
  CHECK(e.instance.Call(vst::effEditOpen, 0, 0, nullptr) == 0);
  CHECK(e.Window() == nullptr);
  CHECK_EQ(IGraphicsLiceWin32::OpenWindowCount(), 0);
  CHECK(!ClassRegistered());
}

WIN_TEST(WheelCountsWholeNotchesOnly) {
  Editor e;
  HWND w = e.Open();
  for (int delta : {60, -119, 240, -120}) {
    SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(delta))), e.ScreenAt(110, 10));
  }
  CHECK(e.controls[2]->wheels == (std::vector<int>{0, 0, 2, -1}));
}

WIN_TEST(PressDragReleaseIsOneGestureForTheHost) {
  Editor e;
  HWND w = e.Open();
  auto& calls = e.instance.host.calls;
  calls.clear();
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, e.At(10, 10));
  CHECK(GetCapture() == w);
  SendMessageA(w, WM_LBUTTONUP, 0, e.At(10, 10));
  CHECK(GetCapture() != w);
  CHECK_EQ(e.instance.host.Count(vst::audioMasterBeginEdit), 1);
  CHECK_EQ(e.instance.host.Count(vst::audioMasterEndEdit), 1);
  // A release whose press the editor never saw ends nothing.
  SendMessageA(w, WM_LBUTTONUP, 0, e.At(10, 10));
  CHECK_EQ(e.instance.host.Count(vst::audioMasterEndEdit), 1);
}

WIN_TEST(ReturnInTheEntryCommitsOnTheNextTick) {
  Editor e;
  e.Open();
  e.g->PromptParamEdit(e.controls[2], e.instance.Plug().Param(2));
  HWND entry = e.Entry();
  CHECK(entry != nullptr);
  char cls[32] = {};
  GetClassNameA(entry, cls, sizeof cls);
  CHECK(lstrcmpiA(cls, "EDIT") == 0);
  RECT r = {};
  GetWindowRect(entry, &r);
  CHECK_EQ(r.right - r.left, 36L);
  CHECK_EQ(r.bottom - r.top, 16L);
  char text[32] = {};
  GetWindowTextA(entry, text, sizeof text);
  CHECK(std::strcmp(text, "0") == 0);
  SetWindowTextA(entry, "-12");
  SendMessageA(entry, WM_KEYDOWN, VK_RETURN, 0);
  CHECK_EQ(e.g->ValueEntryState(), int(IGraphicsLiceWin32::kEntryCommit));
  CHECK(e.instance.Plug().Param(2)->Value() == 0.0);  // not before the tick
  e.Tick();
  CHECK(e.instance.Plug().Param(2)->Value() == -12.0);
  CHECK(e.Entry() == nullptr);
  CHECK(!IsWindow(entry));
  CHECK(e.instance.host.Count(vst::audioMasterAutomate) >= 1);
}

WIN_TEST(TextThatIsNoNumberLeavesTheParameterAlone) {
  Editor e;
  e.Open();
  e.g->PromptParamEdit(e.controls[2], e.instance.Plug().Param(2));
  SetWindowTextA(e.Entry(), "loud");
  SendMessageA(e.Entry(), WM_KEYDOWN, VK_RETURN, 0);
  e.Tick();
  CHECK(e.Entry() == nullptr);
  CHECK(e.instance.Plug().Param(2)->Value() == 0.0);
}

WIN_TEST(RightClickCancelsTheEntryInsteadOfPressing) {
  Editor e;
  HWND w = e.Open();
  e.g->PromptParamEdit(e.controls[2], e.instance.Plug().Param(2));
  SetWindowTextA(e.Entry(), "-3");
  e.instance.host.calls.clear();
  SendMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, e.At(10, 10));
  SendMessageA(w, WM_RBUTTONUP, 0, e.At(10, 10));
  CHECK_EQ(e.g->ValueEntryState(), int(IGraphicsLiceWin32::kEntryCancel));
  e.Tick();
  CHECK(e.Entry() == nullptr);
  CHECK(e.instance.Plug().Param(2)->Value() == 0.0);
  CHECK(e.instance.host.calls.empty());  // no press, no gesture
}

WIN_TEST(ListEntryOffersTheDisplayTextsAndASelectionCommits) {
  Editor e;
  HWND w = e.Open();
  e.g->PromptParamEdit(e.controls[1], e.instance.Plug().Param(1));
  HWND combo = e.Entry();
  CHECK(combo != nullptr);
  char cls[32] = {};
  GetClassNameA(combo, cls, sizeof cls);
  CHECK(lstrcmpiA(cls, "COMBOBOX") == 0);
  CHECK_EQ(long(SendMessageA(combo, CB_GETCOUNT, 0, 0)), 7L);
  char item[32] = {};
  SendMessageA(combo, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(item));
  CHECK(std::strcmp(item, "d") == 0);
  CHECK_EQ(long(SendMessageA(combo, CB_GETCURSEL, 0, 0)), 0L);
  // The list reports a new selection to its parent, the editor.
  SendMessageA(combo, CB_SETCURSEL, 4, 0);
  SendMessageA(w, WM_COMMAND, MAKEWPARAM(IGraphicsLiceWin32::kEntryControlId, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  e.Tick();
  CHECK(e.Entry() == nullptr);
  CHECK(e.instance.Plug().Param(1)->Value() == 4.0);
}

WIN_TEST(NoRedrawWhileTheEntryHasTheFocus) {
  Editor e;
  HWND w = e.Open();
  e.g->PromptParamEdit(e.controls[2], e.instance.Plug().Param(2));
  SetFocus(e.Entry());
  CHECK_EQ(e.g->ValueEntryState(), int(IGraphicsLiceWin32::kEntryFocused));
  e.controls[0]->draws = 0;
  e.controls[0]->SetDirty(false);
  e.Tick();
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);
  Pump(100);
  CHECK_EQ(e.controls[0]->draws, 0);
  // Focus elsewhere: the redraw cycle resumes.
  SetFocus(e.parent);
  CHECK_EQ(e.g->ValueEntryState(), int(IGraphicsLiceWin32::kEntryIdle));
  e.Tick();
  CHECK(e.controls[0]->draws > 0);
  CHECK(e.Entry() != nullptr);
}

// Height of the rows holding pixels that differ from the background, and whether
// the brightest of them is blue rather than red.
struct Ink {
  int rows = 0;
  bool blue = false;
};

Ink InkOf(IGraphicsLiceWin32& g) {
  Ink ink;
  int top = -1, bottom = -1, red = 0, blue = 0;
  for (int y = 0; y < g.Height(); ++y) {
    for (int x = 0; x < g.Width(); ++x) {
      const IRgba p = g.ReadPixel(x, y);
      if (p.r + p.g + p.b == 0) continue;
      if (top < 0) top = y;
      bottom = y;
      red += p.r;
      blue += p.b;
    }
  }
  ink.rows = top < 0 ? 0 : bottom - top + 1;
  ink.blue = blue > red;
  return ink;
}

WIN_TEST(TheFirstFontStaysAndLaterTextsTakeTheirColour) {
  const IBox box{0, 0, 200, 100};
  IFontSpec small;
  small.size = 12;
  small.colour = IRgba{255, 255, 0, 0};
  IFontSpec big = small;
  big.size = 48;
  big.style = IFONT_BOLD;
  big.colour = IRgba{255, 0, 0, 255};

  Editor reference;  // draws only with the small font
  reference.g->FillBox(IRgba{255, 0, 0, 0}, box, nullptr);
  CHECK(reference.g->PaintText(small, "MWM", box));
  const Ink alone = InkOf(*reference.g);

  Editor e;  // the small font first, then the big one
  CHECK(e.g->PaintText(small, "MWM", box));
  e.g->FillBox(IRgba{255, 0, 0, 0}, box, nullptr);
  CHECK(e.g->PaintText(big, "MWM", box));
  const Ink later = InkOf(*e.g);
  CHECK(alone.rows > 0);
  CHECK_EQ(later.rows, alone.rows);
  CHECK(later.blue);
  CHECK(!alone.blue);
  CHECK(e.g->PaintText(big, nullptr, box));
}

// The smallest box holding every pixel that is not black.
IBox DrawnBox(IGraphicsLiceWin32& g) {
  IBox drawn{};
  for (int y = 0; y < g.Height(); ++y) {
    for (int x = 0; x < g.Width(); ++x) {
      const IRgba p = g.ReadPixel(x, y);
      if (p.r + p.g + p.b != 0) drawn = IBoxUnion(drawn, IBox{x, y, x + 1, y + 1});
    }
  }
  return drawn;
}

WIN_TEST(TextBoundsAreThePixelsTheTextIsDrawnOn) {
  const IBox boxes[] = {IBox{20, 30, 180, 60}, IBox{21, 31, 180, 60}};  // centring rounds
  const char* texts[] = {"Mg 440 Hz", "-12.5 dB", "UNFREEZE", "j, W && Q|", "-12.5 dB"};
  Editor e;
  IFontSpec font;
  font.size = 16;
  font.colour = IRgba{255, 255, 255, 255};
  for (const char* text : texts) {
    for (int align : {IALIGN_LEFT, IALIGN_CENTER, IALIGN_RIGHT}) {
      for (IBox box : boxes) {
        font.align = align;
        e.g->FillBox(IRgba{255, 0, 0, 0}, IBox{0, 0, 200, 100}, nullptr);
        // The first measure comes before any text is drawn; later ones in the kept font.
        const IBox measured = e.g->TextBounds(font, text, box);
        CHECK(e.g->PaintText(font, text, box));
        const IBox drawn = DrawnBox(*e.g);
        if (!CHECK(!drawn.Empty() && measured == drawn)) {
          std::printf("  '%s' align %d: measured %d,%d,%d,%d drawn %d,%d,%d,%d\n", text, align,
                      measured.left, measured.top, measured.right, measured.bottom, drawn.left,
                      drawn.top, drawn.right, drawn.bottom);
        }
      }
    }
  }
  CHECK(e.g->TextBounds(font, "   ", boxes[0]).Empty());
}

WIN_TEST(TextBoundsFollowTheFirstFont) {
  const IBox box{0, 0, 200, 100};
  IFontSpec small;
  small.size = 12;
  IFontSpec big = small;
  big.size = 40;
  big.style = IFONT_BOLD;
  Editor e;
  CHECK(e.g->TextBounds(small, "", box).Empty());
  CHECK(e.g->TextBounds(small, nullptr, box).Empty());
  // Measuring keeps no font: the big one measures big until a text is drawn.
  const IBox bigAlone = e.g->TextBounds(big, "MWM", box);
  const IBox smallAlone = e.g->TextBounds(small, "MWM", box);
  CHECK(bigAlone.H() > 2 * smallAlone.H());
  CHECK(bigAlone.W() > 2 * smallAlone.W());
  CHECK(e.g->PaintText(small, "MWM", box));
  // From then on every text is measured, as it is drawn, in the first font.
  CHECK(e.g->TextBounds(big, "MWM", box) == smallAlone);
}

WIN_TEST(RepeatedOpenAndCloseLeavesNoWindowOrGdiObjectBehind) {
  Editor e;
  std::vector<HGDIOBJ> entryFonts;
  for (int i = 0; i < 200; ++i) {
    HWND w = e.Open();
    if (!CHECK(w != nullptr)) return;
    e.g->PromptParamEdit(e.controls[2], e.instance.Plug().Param(2));
    entryFonts.push_back(static_cast<HGDIOBJ>(e.g->ValueEntryFont()));
    if (i % 2 == 0) {
      SendMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, e.At(5, 5));
      e.Tick();  // the entry closes by itself
    }
    e.Tick();
    e.instance.Call(vst::effEditClose);
    if (!CHECK(!IsWindow(w))) return;
  }
  CHECK_EQ(Children(e.parent), 0);
  CHECK_EQ(IGraphicsLiceWin32::OpenWindowCount(), 0);
  CHECK(!ClassRegistered());
  int alive = 0;
  for (HGDIOBJ font : entryFonts) alive += font != nullptr && GetObjectType(font) != 0;
  CHECK_EQ(alive, 0);
}

WIN_TEST(TheTextFontGoesWithTheEditor) {
  HGDIOBJ font = nullptr;
  {
    Editor e;
    e.Open();
    CHECK(e.g->PaintText(IFontSpec{}, "text", IBox{0, 0, 100, 20}));
    font = static_cast<HGDIOBJ>(e.g->TextFont());
    CHECK(font != nullptr && GetObjectType(font) == OBJ_FONT);
  }
  CHECK(GetObjectType(font) == 0);
}

WIN_TEST(CloseWhileAnEntryIsOpenDropsIt) {
  Editor e;
  e.Open();
  e.g->PromptParamEdit(e.controls[2], e.instance.Plug().Param(2));
  HWND entry = e.Entry();
  e.instance.Call(vst::effEditClose);
  CHECK(!IsWindow(entry));
  CHECK(e.Entry() == nullptr);
  CHECK(e.g->ValueEntryFont() == nullptr);
}

WIN_TEST(HostDestroyingItsFrameFirstLeavesACleanEditor) {
  Editor e;
  HWND w = e.Open();
  DestroyWindow(e.parent);
  CHECK(!IsWindow(w));
  CHECK(e.Window() == nullptr);
  CHECK_EQ(IGraphicsLiceWin32::OpenWindowCount(), 0);
  CHECK(e.instance.Call(vst::effEditClose) == 1);  // the late close is harmless
  e.parent = MakeParent();
  CHECK(e.Open() != nullptr);  // and the editor opens again
}

WIN_TEST(EffCloseWithTheEditorOpenTakesTheWindowAndTimerDown) {
  HWND parent = MakeParent();
  HWND w = nullptr;
  {
    TestInstance<> instance;
    auto* g = new IGraphicsLiceWin32(&instance.Plug(), 200, 100, 0, Module());
    g->AddWidget(new Recorder(&instance.Plug(), IBox{0, 0, 40, 40}, 0));
    instance.Plug().AttachEditor(g);
    instance.Call(vst::effEditOpen, 0, 0, parent);
    w = static_cast<HWND>(g->GetEditorWindow());
    Pump(100);
  }  // effClose without effEditClose
  CHECK(w != nullptr && !IsWindow(w));
  CHECK_EQ(Children(parent), 0);
  Pump(200);  // a timer left behind would fire into the freed editor here
  CHECK_EQ(IGraphicsLiceWin32::OpenWindowCount(), 0);
  CHECK(!ClassRegistered());
  DestroyWindow(parent);
}

WIN_TEST(ResizeGrowsTheEditorAndItsFrames) {
  Editor e;
  HWND w = e.Open();
  RECT before = {};
  GetWindowRect(e.parent, &before);
  e.g->Resize(260, 130);
  RECT r = {};
  GetClientRect(w, &r);
  CHECK_EQ(r.right, 260L);
  CHECK_EQ(r.bottom, 130L);
  RECT after = {};
  GetWindowRect(e.parent, &after);
  // The host's frame around a child editor grows by the same amount.
  CHECK_EQ(after.right - after.left, before.right - before.left + 60);
  CHECK_EQ(after.bottom - after.top, before.bottom - before.top + 30);
}

WIN_TEST(LinksNeedTheNetworkDocumentsDoNot) {
  CHECK(ShellTargetNeedsConnection("http://example.invalid/manual"));
  CHECK(ShellTargetNeedsConnection("https://example.invalid/"));
  CHECK(!ShellTargetNeedsConnection("C:\\Plugins\\Virlex_manual.pdf"));
  CHECK(!ShellTargetNeedsConnection("file:///C:/Plugins/Virlex_manual.pdf"));
  CHECK(!ShellTargetNeedsConnection("Virlex_manual.pdf"));
  CHECK(!ShellTargetNeedsConnection(nullptr));
}

WIN_TEST(ModuleFoldersEndWithABackslash) {
  Editor e;
  std::string host, plugin;
  e.g->GetHostFolder(host);
  e.g->GetPluginFolder(plugin);
  CHECK(!host.empty() && host.back() == '\\');
  CHECK(plugin == host);  // this program is both
}
