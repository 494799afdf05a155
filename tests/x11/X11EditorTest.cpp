// The module's editor in a real X11 window, driven as a user drives it: the host
// makes a window, effEditOpen puts the editor in it, and clicks, drags, wheel
// steps and keys arrive through the X server (XTest). A private Xvfb serves each
// test program.
#include <gtest/gtest.h>
#include <malloc.h>
#include <xcb/res.h>

#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "iplug/VstAbi.h"
#include "plugin/ScopeParams.h"
#include "tests/x11/EditorFixture.h"
#include "tests/x11/XvfbServer.h"

namespace {

using namespace std::chrono_literals;

// Where the test puts its host window on the screen; editor pixel (x, y) is at
// (kLeft + x, kTop + y).
constexpr int kLeft = 40;
constexpr int kTop = 30;

class X11EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    if (!TestDisplayAvailable(whyNot)) GTEST_SKIP() << whyNot;
    x = std::make_unique<TestX11Host>();
    ASSERT_TRUE(x->Connected());
    x->MovePointer(1279, 1023);  // away from the editor: no hover in the pictures
    ASSERT_TRUE(plugin.LoadModule()) << plugin.error;
    parent = x->CreateWindow(kLeft, kTop, kEditorWidth, kEditorHeight);
  }

  void TearDown() override {
    if (plugin.plug) plugin.plug->Close();
    if (x && parent != 0) x->DestroyWindow(parent);
  }

  // The editor's window inside the host's, once it is there and shown.
  xcb_window_t EditorWindow() {
    xcb_window_t found = 0;
    WaitFor([&] {
      const auto kids = x->Children(parent);
      found = kids.size() == 1 && x->IsViewable(kids[0]) ? kids[0] : 0;
      return found != 0;
    });
    return found;
  }

  // The editor's picture once it stays the same for a few beats.
  std::vector<std::uint32_t> SettledPicture(xcb_window_t editor) {
    std::vector<std::uint32_t> last;
    std::vector<std::uint32_t> now;
    WaitFor([&] {
      std::this_thread::sleep_for(150ms);
      now = x->Capture(editor, kEditorWidth, kEditorHeight);
      const bool same = !now.empty() && now == last;
      last = now;
      return same;
    });
    return now;
  }

  void ClickEditor(int ex, int ey, int button = 1) { x->Click(kLeft + ex, kTop + ey, button); }

  // True once the host reads a value other than before for index.
  bool ParamMoves(int index, float before) {
    return WaitFor([&] { return plugin.Param(index) != before; });
  }

  // Begin and end edits received, once every begun edit has ended (the end comes
  // with the release, a moment after the value).
  bool EditsBalance() {
    return WaitFor([&] {
      return plugin.CallsOf(vst::audioMasterBeginEdit).size() ==
             plugin.CallsOf(vst::audioMasterEndEdit).size();
    });
  }

  // Every automation of index lies between a begin and an end edit of index.
  void ExpectBracketed(int index) {
    ASSERT_TRUE(EditsBalance());
    int open = 0;
    int automations = 0;
    for (const vsthost::HostCall& c : plugin.host.Calls()) {
      if (c.index != index) continue;
      if (c.opcode == vst::audioMasterBeginEdit) ++open;
      if (c.opcode == vst::audioMasterEndEdit) --open;
      if (c.opcode == vst::audioMasterAutomate) {
        ++automations;
        EXPECT_EQ(open, 1) << "automation of parameter " << index << " outside its edit";
      }
    }
    EXPECT_GT(automations, 0);
    EXPECT_EQ(open, 0) << "begin and end edits of parameter " << index << " unbalanced";
  }

  std::unique_ptr<TestX11Host> x;
  HostedPlugin plugin;
  xcb_window_t parent = 0;
};

// In each domain the window shows exactly what the off-screen editor renders for
// the same audio: the same drawing code, presented without loss.
TEST_F(X11EditorTest, TheWindowShowsTheOffscreenPictureInEveryDomain) {
  for (int domain = 0; domain < 3; ++domain) {
    SCOPED_TRACE(domain);
    HostedPlugin reference;
    ASSERT_TRUE(reference.LoadLinked()) << reference.error;
    for (HostedPlugin* p : {&plugin, &reference}) {
      p->SetParam(kParamDomain, float(domain) / 2.0f);
      p->Play(1.0);  // queued for the editor's first beat, which takes it all at once
    }
    ASSERT_TRUE(plugin.OpenEditor(parent));
    const xcb_window_t editor = EditorWindow();
    ASSERT_NE(editor, 0u);
    int ex = 0, ey = 0, ew = 0, eh = 0;
    ASSERT_TRUE(x->Geometry(editor, ex, ey, ew, eh));
    EXPECT_EQ(ex, 0);
    EXPECT_EQ(ey, 0);
    EXPECT_EQ(ew, kEditorWidth);
    EXPECT_EQ(eh, kEditorHeight);
    const std::vector<std::uint32_t> shown = SettledPicture(editor);

    ASSERT_NE(reference.plug->Dispatch(vst::effEditOpen), 0);
    IGraphicsOffscreen* offscreen = OffscreenEditor(reference);
    ASSERT_NE(offscreen, nullptr);
    // Beats until nothing is left to draw, as the window's beats ran meanwhile.
    for (int beat = 0; beat < 24 && offscreen->Tick(); ++beat) {
    }
    const std::vector<std::uint32_t> rendered = OffscreenPicture(*offscreen);
    const int differ = Differences(shown, rendered);
    EXPECT_EQ(differ, 0);
    if (differ != 0) {
      const std::string name = "x11-domain" + std::to_string(domain);
      SavePicture(shown, kEditorWidth, kEditorHeight, name + "-window.png");
      SavePicture(rendered, kEditorWidth, kEditorHeight, name + "-offscreen.png");
    }
    plugin.CloseEditor();
    reference.plug->Dispatch(vst::effEditClose);
    reference.plug->Close();
  }
}

TEST_F(X11EditorTest, ClicksDragsAndWheelReachTheHostAsEdits) {
  ASSERT_TRUE(plugin.OpenEditor(parent));
  ASSERT_NE(EditorWindow(), 0u);
  // The input 3 switch, off by default.
  const int input3 = kParamInput1 + 2;
  EXPECT_EQ(plugin.Param(input3), 0.0f);
  ClickEditor(340, 476);
  ASSERT_TRUE(ParamMoves(input3, 0.0f));
  EXPECT_EQ(plugin.Param(input3), 1.0f);
  ExpectBracketed(input3);
  // The domain knob, dragged up by one knob height.
  x->Drag(kLeft + 62, kTop + 467, kLeft + 62, kTop + 436, 8);
  ASSERT_TRUE(ParamMoves(kParamDomain, 0.0f));
  EXPECT_GT(plugin.Param(kParamDomain), 0.1f);
  ExpectBracketed(kParamDomain);
  // The wheel over the display zooms in: the window's ends move.
  const float low = plugin.Param(kParamXZoomLow);
  x->Wheel(kLeft + 300, kTop + 200, 3);
  EXPECT_TRUE(WaitFor([&] { return plugin.Param(kParamXZoomLow) != low; }));
}

TEST_F(X11EditorTest, ValueEntryTakesTypedNumbersAndListPicksAndARightClickCancels) {
  ASSERT_TRUE(plugin.OpenEditor(parent));
  const xcb_window_t editor = EditorWindow();
  ASSERT_NE(editor, 0u);
  // Y zoom: a number field; the first key replaces the text, Return commits.
  ClickEditor(60, 200, 3);
  ASSERT_TRUE(WaitFor([&] { return x->InputFocus() == editor; }));
  x->Type("0.25");
  std::this_thread::sleep_for(100ms);
  SavePicture(x->Capture(editor, kEditorWidth, kEditorHeight), kEditorWidth, kEditorHeight,
              "x11-entry-field.png");  // to look at
  x->Key(XK_Return);
  ASSERT_TRUE(ParamMoves(kParamYZoom, 0.5f));
  EXPECT_NEAR(plugin.Param(kParamYZoom), 0.25f, 1e-6);
  EXPECT_EQ(plugin.plug->ParamDisplay(kParamYZoom), "0.25");
  ExpectBracketed(kParamYZoom);
  // The keyboard goes back once the entry has closed.
  EXPECT_TRUE(WaitFor([&] { return x->InputFocus() != editor; }));

  // The hold strip: typed, then cancelled by a right click.
  const float hold = plugin.Param(kParamHold);
  ClickEditor(670, 209, 3);
  ASSERT_TRUE(WaitFor([&] { return x->InputFocus() == editor; }));
  x->Type("-9");
  ClickEditor(300, 300, 3);
  x->Key(XK_Return);  // too late: the entry is gone
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(plugin.Param(kParamHold), hold);

  // The domain knob: a list of its three texts; Down twice and Return picks "phase".
  ClickEditor(62, 467, 3);
  ASSERT_TRUE(WaitFor([&] { return x->InputFocus() == editor; }));
  x->Key(XK_Down);
  x->Key(XK_Down);
  x->Key(XK_Return);
  ASSERT_TRUE(WaitFor([&] { return plugin.plug->ParamDisplay(kParamDomain) == "phase"; }));

  // The fft size knob: an item of the list is clicked. The list hangs below the
  // knob's centre, moved up to stay inside the editor: 7 rows of 16 pixels.
  ClickEditor(475, 467, 3);
  ASSERT_TRUE(WaitFor([&] { return x->InputFocus() == editor; }));
  const int listTop = kEditorHeight - (7 * 16 + 2);
  std::this_thread::sleep_for(100ms);
  SavePicture(x->Capture(editor, kEditorWidth, kEditorHeight), kEditorWidth, kEditorHeight,
              "x11-entry-list.png");
  ClickEditor(475, listTop + 1 + 6 * 16 + 8);  // the last row, "16384"
  ASSERT_TRUE(WaitFor([&] { return plugin.plug->ParamDisplay(kParamFftSize) == "16384"; }));
  // Each right click that opened an entry was a press on a bound control, and each
  // committed value an edit of its own: all bracketed.
  EXPECT_TRUE(EditsBalance());
  ExpectBracketed(kParamFftSize);
}

TEST_F(X11EditorTest, OpeningTwiceKeepsOneWindowWhereTheFirstWas) {
  ASSERT_TRUE(plugin.OpenEditor(parent));
  const xcb_window_t first = EditorWindow();
  ASSERT_NE(first, 0u);
  // The host moved and shrank it.
  const std::uint32_t geometry[] = {10, 5, 700, 500};
  xcb_configure_window(x->Connection(), first,
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                           XCB_CONFIG_WINDOW_HEIGHT,
                       geometry);
  x->Sync();
  ASSERT_TRUE(plugin.OpenEditor(parent));
  const auto kids = x->Children(parent);
  ASSERT_EQ(kids.size(), 1u);
  int ex = 0, ey = 0, ew = 0, eh = 0;
  ASSERT_TRUE(x->Geometry(kids[0], ex, ey, ew, eh));
  EXPECT_EQ(ex, 10);
  EXPECT_EQ(ey, 5);
  EXPECT_EQ(ew, 700);
  EXPECT_EQ(eh, 500);
}

TEST_F(X11EditorTest, ABadParentWindowFailsTheOpenCleanly) {
  EXPECT_EQ(plugin.plug->Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(0x3FFFFF)), 0);
  EXPECT_EQ(plugin.plug->Dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
  EXPECT_TRUE(x->Children(parent).empty());
  ASSERT_TRUE(plugin.OpenEditor(parent));  // a good one still opens afterwards
  EXPECT_NE(EditorWindow(), 0u);
}

// Resources the server holds for every client but this test's own connection.
std::map<std::string, std::uint32_t> ForeignResources(xcb_connection_t* conn) {
  std::map<std::string, std::uint32_t> out;
  const std::uint32_t own = xcb_get_setup(conn)->resource_id_base;
  auto* clients = xcb_res_query_clients_reply(conn, xcb_res_query_clients(conn), nullptr);
  if (clients == nullptr) return out;
  const xcb_res_client_t* c = xcb_res_query_clients_clients(clients);
  for (int i = 0; i < xcb_res_query_clients_clients_length(clients); ++i) {
    if (c[i].resource_base == own) continue;
    auto* res = xcb_res_query_client_resources_reply(
        conn, xcb_res_query_client_resources(conn, c[i].resource_base), nullptr);
    if (res == nullptr) continue;
    const xcb_res_type_t* t = xcb_res_query_client_resources_types(res);
    for (int k = 0; k < xcb_res_query_client_resources_types_length(res); ++k) {
      auto* name =
          xcb_get_atom_name_reply(conn, xcb_get_atom_name(conn, t[k].resource_type), nullptr);
      const std::string type = name != nullptr
                                   ? std::string(xcb_get_atom_name_name(name),
                                                 std::size_t(xcb_get_atom_name_name_length(name)))
                                   : std::to_string(t[k].resource_type);
      std::free(name);
      out[type] += t[k].count;
    }
    std::free(res);
  }
  std::free(clients);
  return out;
}

TEST_F(X11EditorTest, FiveHundredOpenCloseCyclesLeaveNoWindowResourceOrMemory) {
  // The first cycle sets up what stays for the editor's life (connection, picture
  // memory); the counts afterwards must not grow.
  ASSERT_TRUE(plugin.OpenEditor(parent));
  ASSERT_NE(EditorWindow(), 0u);
  std::this_thread::sleep_for(100ms);  // a few beats: the picture is presented
  plugin.CloseEditor();
  x->Sync();
  const auto before = ForeignResources(x->Connection());
  const std::size_t heapBefore = mallinfo2().uordblks;
  for (int i = 0; i < 500; ++i) {
    ASSERT_TRUE(plugin.OpenEditor(parent));
    if (i % 50 == 0) std::this_thread::sleep_for(50ms);  // now and then with beats drawn
    plugin.CloseEditor();
  }
  x->Sync();
  EXPECT_TRUE(x->Children(parent).empty());
  const auto after = ForeignResources(x->Connection());
  EXPECT_EQ(after, before);
  EXPECT_GT(before.count("WINDOW"), 0u);  // the count works: the test's parent is not in it
  const std::size_t heapAfter = mallinfo2().uordblks;
  EXPECT_LT(heapAfter, heapBefore + 64 * 1024) << "heap grew by " << heapAfter - heapBefore;
}

// Audio plays in real time on a thread of its own, as in a host.
class AudioThread {
 public:
  explicit AudioThread(HostedPlugin& p) : plugin_(p) {
    thread_ = std::thread([this] {
      double t = 0.0;
      while (!stop_) {
        plugin_.Play(512.0 / 48000.0, t);
        t += 512.0 / 48000.0;
        std::this_thread::sleep_for(10ms);
      }
    });
  }
  ~AudioThread() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  HostedPlugin& plugin_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// The test host never sends effEditIdle: the editor moves with the audio anyway.
// It is opened from one thread and closed from another, as some hosts do.
TEST_F(X11EditorTest, TheDisplayMovesWithoutIdleCallsAndFreezeHoldsIt) {
  bool opened = false;
  std::thread([&] { opened = plugin.OpenEditor(parent); }).join();
  ASSERT_TRUE(opened);
  const xcb_window_t editor = EditorWindow();
  ASSERT_NE(editor, 0u);
  AudioThread audio(plugin);
  auto display = [&] {
    std::vector<std::uint32_t> all = x->Capture(editor, kEditorWidth, kEditorHeight);
    std::vector<std::uint32_t> view;
    for (int y = 56; y < 362 && !all.empty(); ++y)
      for (int i = 80; i < 618; ++i) view.push_back(all[std::size_t(y) * kEditorWidth + i]);
    return view;
  };
  // Each step waits for what it looks for (a busy machine can hold the editor's thread
  // back for a while); two changes in a row are motion, not just the first frame.
  const auto changesFrom = [&](const std::vector<std::uint32_t>& from) {
    std::vector<std::uint32_t> now;
    const bool changed = WaitFor([&] {
      std::this_thread::sleep_for(40ms);
      now = display();
      return now != from;
    });
    return changed ? now : std::vector<std::uint32_t>{};
  };
  const auto a = display();
  ASSERT_FALSE(a.empty());
  const auto b = changesFrom(a);
  ASSERT_FALSE(b.empty()) << "the editor drew nothing";
  EXPECT_FALSE(changesFrom(b).empty()) << "the traces did not move";
  // FREEZE holds the picture while the audio goes on: once it has taken effect (the
  // same picture over several beats), it stays.
  ClickEditor(650, 390);
  std::vector<std::uint32_t> frozen1;
  int beatsStill = 0;
  ASSERT_TRUE(WaitFor([&] {
    std::this_thread::sleep_for(150ms);
    const auto now = display();
    beatsStill = now == frozen1 ? beatsStill + 1 : 0;
    frozen1 = now;
    return beatsStill >= 2;
  })) << "the display did not freeze";
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(display(), frozen1);
  ClickEditor(650, 390);
  EXPECT_FALSE(changesFrom(frozen1).empty()) << "the display stayed frozen";
  audio.Stop();
  plugin.CloseEditor();
}

TEST_F(X11EditorTest, ClosingWhileAudioRunsAndEffCloseWithTheEditorOpenAreClean) {
  {
    AudioThread audio(plugin);
    for (int i = 0; i < 10; ++i) {
      ASSERT_TRUE(plugin.OpenEditor(parent));
      std::this_thread::sleep_for(60ms);
      plugin.CloseEditor();
    }
    ASSERT_TRUE(plugin.OpenEditor(parent));
    ASSERT_NE(EditorWindow(), 0u);
    std::this_thread::sleep_for(100ms);
  }
  // The host closes the plug-in without closing the editor first.
  plugin.plug->Close();
  plugin.plug.reset();  // unloads the module: its editor thread must be gone
  x->Sync();
  EXPECT_TRUE(x->Children(parent).empty());
}

}  // namespace
