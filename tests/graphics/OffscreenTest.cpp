// The off-screen platform layer: timer beats, value entry, shell opening,
// folders, refusing a host window, text and writing the surface out.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

#include "graphics/IFaderWidget.h"
#include "graphics/ITextWidget.h"
#include "graphics/MakeEditorGraphics.h"
#include "graphics/platform/freetype/FreeTypeText.h"
#include "raster/MemBitmap.h"
#include "raster/RasterSurface.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

constexpr IMouseFlags kRight{false, true, false, false, false};

struct OffscreenTest : ::testing::Test {
  EditorFixture fx;
  TestGraphics& g() { return *fx.graphics; }
  void SetUp() override { fx.Attach(); }
};

TEST_F(OffscreenTest, TypedValueCommitsOnTheNextTick) {
  auto* w = new ProbeWidget(&fx.Plug(), IBox{0, 0, 20, 20}, 2);
  g().AddWidget(w);
  w->MouseDown(1, 1, kRight);
  ASSERT_TRUE(g().IsValueEntryOpen());
  EXPECT_EQ(g().ValueEntryText(), "0");  // 0 dB, the default
  ASSERT_TRUE(g().TypeValueEntry("3"));
  EXPECT_EQ(w->Value(), 0.0);  // nothing before the tick
  g().Tick();
  EXPECT_FALSE(g().IsValueEntryOpen());
  EXPECT_DOUBLE_EQ(w->Value(), 1.0);
  EXPECT_DOUBLE_EQ(fx.Plug().Param(2)->Value(), 3.0);
}

TEST_F(OffscreenTest, ListEntryGarbageAndCancel) {
  auto* w = new ProbeWidget(&fx.Plug(), IBox{0, 0, 20, 20}, 1);
  g().AddWidget(w);
  w->PromptParamEdit();
  ASSERT_TRUE(g().PickValueEntryItem(3));
  g().Tick();
  EXPECT_DOUBLE_EQ(fx.Plug().Param(1)->Value(), 3.0);

  auto* gain = new ProbeWidget(&fx.Plug(), IBox{30, 0, 50, 20}, 2);
  g().AddWidget(gain);
  gain->SetValueFromPlugin(0.5);
  gain->PromptParamEdit();
  g().TypeValueEntry("loud");  // not a number: nothing changes
  g().Tick();
  EXPECT_EQ(gain->Value(), 0.5);

  gain->PromptParamEdit();
  g().Press(5, 5, kRight);  // a right click cancels instead of pressing
  g().Tick();
  EXPECT_FALSE(g().IsValueEntryOpen());
  EXPECT_TRUE(w->log.empty());
}

TEST_F(OffscreenTest, NoRedrawWhileTheEntryHasFocus) {
  auto* w = new ProbeWidget(&fx.Plug(), IBox{0, 0, 20, 20}, 2);
  g().AddWidget(w);
  g().Tick();
  w->PromptParamEdit();
  g().FocusValueEntry(true);
  w->SetDirty(false);
  EXPECT_FALSE(g().Tick());
  g().FocusValueEntry(false);
  EXPECT_TRUE(g().Tick());
  EXPECT_EQ(g().ValueEntryState(), IGraphicsOffscreen::kEntryRefresh);
}

TEST_F(OffscreenTest, HostWindowIsRefusedHeadlessOpens) {
  int parent = 0;
  EXPECT_EQ(g().OpenEditorWindow(&parent), nullptr);
  EXPECT_FALSE(g().IsEditorWindowOpen());
  EXPECT_NE(g().OpenEditorWindow(nullptr), nullptr);
  EXPECT_TRUE(g().IsEditorWindowOpen());
  g().CloseEditorWindow();
  EXPECT_FALSE(g().IsEditorWindowOpen());
  // Through the VST dispatcher, as a host opens its editor window.
  EXPECT_EQ(fx.instance.Call(vst::effEditOpen, 0, 0, &parent), 0);
}

TEST_F(OffscreenTest, ShellOpenUsesXdgOpenWhenPresent) {
  char dir[] = "/tmp/virlex-xdgXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string script = std::string(dir) + "/xdg-open";
  const std::string out = std::string(dir) + "/opened";
  {
    std::ofstream f(script);
    // PATH holds only this folder when it runs: builtins and full paths only.
    f << "#!/bin/sh\necho \"$1\" > " << out << ".tmp && /bin/mv " << out << ".tmp " << out << "\n";
  }
  chmod(script.c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", "/nonexistent-virlex", 1);
  EXPECT_FALSE(g().ShellOpen("/x/manual.pdf", nullptr, nullptr, nullptr));
  setenv("PATH", dir, 1);
  EXPECT_FALSE(g().ShellOpen("/x/manual.pdf", "t", "Open it?", nullptr));  // nobody to ask
  EXPECT_TRUE(g().ShellOpen("/x/manual.pdf", nullptr, nullptr, nullptr));
  setenv("PATH", oldPath.c_str(), 1);
  std::string line;
  for (int i = 0; i < 200 && line.empty(); ++i) {
    std::ifstream in(out);
    std::getline(in, line);
    if (line.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(line, "/x/manual.pdf");
  unlink(out.c_str());
  unlink(script.c_str());
  rmdir(dir);
}

TEST_F(OffscreenTest, FoldersDialogsAndFactory) {
  std::string folder;
  g().GetPluginFolder(folder);
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(access(folder.c_str(), F_OK), 0);
  g().GetHostFolder(folder);
  EXPECT_EQ(folder.back(), '/');
  IRgba c{255, 1, 2, 3};
  EXPECT_FALSE(g().PromptColor(c, "t"));
  g().PromptFile(folder, 1, "", "");
  EXPECT_TRUE(folder.empty());
  std::unique_ptr<IGraphicsLice> made(MakeEditorGraphics(nullptr, 724, 526, 0));
  EXPECT_EQ(made->Fps(), 24);
  EXPECT_EQ(made->Width(), 724);
}

TEST_F(OffscreenTest, WritesTheSurfaceAsPng) {
  g().AddWidget(new ProbeWidget(&fx.Plug(), IBox{0, 0, 200, 100}, -1, IRgba{255, 1, 2, 3}));
  g().Tick();
  const std::string path = testing::TempDir() + "virlex-offscreen.png";
  ASSERT_TRUE(g().WritePng(path.c_str()));
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
  std::unique_ptr<RasterBitmap> back(RasterLoadPngFromMemory(bytes.data(), bytes.size(), nullptr));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(RasterGetPixel(back.get(), 199, 99), 0xFF010203u);
  unlink(path.c_str());
}

// Text: position and colour of the ink, the first font kept, bad text skipped.
struct TextTest : ::testing::Test {
  MemBitmap surface{120, 40};
  void SetUp() override { RasterClear(&surface, 0xFF000000u); }
  // Columns (and rows) holding ink.
  IBox Ink() {
    IBox ink{1000, 1000, -1, -1};
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 120; ++x) {
        if (RasterGetPixel(&surface, x, y) == 0xFF000000u) continue;
        ink = IBox{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x),
                   std::max(ink.bottom, y)};
      }
    }
    return ink;
  }
};

TEST_F(TextTest, AlignmentPlacesTheLineInTheBox) {
  IFontSpec font;
  font.colour = IRgba{255, 255, 255, 255};
  ASSERT_TRUE(FreeTypeDrawText(&surface, font, "HOLD", IBox{10, 5, 110, 19}));
  const IBox left = Ink();
  EXPECT_LE(left.left, 12);
  EXPECT_GE(left.top, 5);
  EXPECT_LE(left.bottom, 19);  // a 14-pixel cell holds the capitals
  EXPECT_GT(left.bottom - left.top, 7);
  const int width = FreeTypeTextWidth(font, "HOLD");
  EXPECT_GT(width, 25);
  EXPECT_LT(width, 45);
  SetUp();
  font.align = IALIGN_RIGHT;
  FreeTypeDrawText(&surface, font, "HOLD", IBox{10, 5, 110, 19});
  EXPECT_GE(Ink().right, 105);
  EXPECT_LE(Ink().right, 110);
  SetUp();
  font.align = IALIGN_CENTER;
  FreeTypeDrawText(&surface, font, "HOLD", IBox{10, 5, 110, 19});
  EXPECT_NEAR((Ink().left + Ink().right) / 2.0, 60.0, 2.0);
  EXPECT_EQ(RasterRed(RasterGetPixel(&surface, 0, 0)), 0);
}

TEST_F(TextTest, EmptyLongAndForeignTextIsSafe) {
  IFontSpec font;
  font.colour = IRgba{255, 255, 255, 255};
  EXPECT_TRUE(FreeTypeDrawText(&surface, font, "", IBox{0, 0, 120, 40}));
  EXPECT_TRUE(FreeTypeDrawText(&surface, font, nullptr, IBox{0, 0, 120, 40}));
  EXPECT_EQ(Ink().right, -1);
  std::string longText(100000, 'W');
  font.align = IALIGN_CENTER;
  EXPECT_TRUE(FreeTypeDrawText(&surface, font, longText.c_str(), IBox{0, 0, 120, 40}));
  SetUp();
  font.align = IALIGN_LEFT;
  EXPECT_TRUE(FreeTypeDrawText(&surface, font, "\xff\xfe\x01\x80\xc3", IBox{0, 0, 120, 40}));
  EXPECT_EQ(Ink().right, -1);  // nothing printable, nothing drawn
  IFontSpec unterminated;
  std::memset(unterminated.face, 'A', sizeof unterminated.face);
  EXPECT_TRUE(FreeTypeDrawText(&surface, unterminated, "x", IBox{0, 0, 120, 40}));
}

TEST_F(OffscreenTest, PaintTextKeepsTheFirstFontInTheNewColour) {
  IFontSpec small;
  small.colour = IRgba{255, 255, 0, 0};
  IFontSpec huge;
  huge.size = 40;
  huge.colour = IRgba{255, 0, 255, 0};
  auto* a = new ITextWidget(&fx.Plug(), IBox{0, 0, 100, 14}, small, "FREEZE");
  auto* b = new ITextWidget(&fx.Plug(), IBox{0, 50, 100, 64}, huge, "FREEZE");
  g().AddWidget(a);
  g().AddWidget(b);
  g().Tick();
  int redRows = 0, greenRows = 0;
  for (int y = 0; y < 100; ++y) {
    bool red = false, green = false;
    for (int x = 0; x < 100; ++x) {
      IRgba p = g().ReadPixel(x, y);
      red |= p.r > 128;
      green |= p.g > 128;
    }
    redRows += red;
    greenRows += green;
  }
  EXPECT_GT(greenRows, 5);
  EXPECT_EQ(greenRows, redRows);  // same height: the 14-pixel font, in green
}

}  // namespace
