// Helpers for the GUI framework tests: PNG bytes made on the spot, an off-screen
// host whose resources are those bytes, a plug-in bound to a fake VST host, and
// a control that records what reaches it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IWidget.h"
#include "graphics/RasterLoadPng.h"
#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "tests/iplug/TestInstance.h"

// PNG file bytes for w x h samples of the given libpng colour type and depth;
// samples holds the raw rows (packed as PNG stores them).
std::vector<unsigned char> MakePng(int w, int h, int colourType, int bitDepth,
                                   const std::vector<unsigned char>& samples,
                                   const std::vector<unsigned char>& palette = {},
                                   const std::vector<unsigned char>& trns = {});

// A solid RGBA picture of w x h in one colour.
std::vector<unsigned char> SolidRgbaPng(int w, int h, unsigned char r, unsigned char g,
                                        unsigned char b, unsigned char a);

class TestGraphics : public IGraphicsOffscreen {
 public:
  using IGraphicsOffscreen::IGraphicsOffscreen;
  RasterBitmap* LoadImageResource(int id, const char*) override {
    ++loads;
    auto it = pngs.find(id);
    if (it == pngs.end()) return nullptr;
    return RasterLoadPngFromMemory(it->second.data(), it->second.size(), nullptr);
  }
  std::map<int, std::vector<unsigned char>> pngs;
  int loads = 0;
};

// Records every event; draws a solid box in its colour.
class ProbeWidget : public IWidget {
 public:
  ProbeWidget(IPlugBase* plugin, IBox r, int paramIdx = -1, IRgba colour = IRgba{255, 255, 0, 0})
      : IWidget(plugin, r, paramIdx), colour(colour) {}
  bool Draw(IGraphicsHost* g) override {
    ++draws;
    return g->FillBox(colour, rect, nullptr);
  }
  void MouseDown(int x, int y, IMouseFlags mod) override {
    log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    IWidget::MouseDown(x, y, mod);
  }
  void MouseUp(int x, int y) override {
    log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseDrag(int x, int y, int dx, int dy, IMouseFlags) override {
    log.push_back("drag " + std::to_string(dx) + "," + std::to_string(dy));
    (void)x;
    (void)y;
  }
  void MouseHover(int, int, IMouseFlags) override { log.push_back("hover"); }
  void MouseLeave() override { log.push_back("leave"); }
  void MouseWheel(int x, int y, IMouseFlags mod, int notches) override {
    log.push_back("wheel " + std::to_string(notches));
    IWidget::MouseWheel(x, y, mod, notches);
  }
  IRgba colour;
  int draws = 0;
  std::vector<std::string> log;
};

// A TestPlug with a fake host and an attached off-screen editor of 200 x 100.
struct EditorFixture {
  TestInstance<> instance;
  TestGraphics* graphics = nullptr;

  explicit EditorFixture(int w = 200, int h = 100) {
    graphics = new TestGraphics(&Plug(), w, h, 0);
  }
  TestPlug& Plug() { return instance.Plug(); }
  // Hands the editor to the plug-in (which pushes the parameter values).
  void Attach() { Plug().AttachEditor(graphics); }
  ~EditorFixture() {
    if (Plug().Graphics() != graphics) delete graphics;
  }
};
