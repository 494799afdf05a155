// Shared pieces of the display tests: a Virlex instance bound to a fake VST host,
// an off-screen host for single controls, and the complete editor built the way
// the module builds it.
#pragma once

#include <memory>

#include "graphics/IWidget.h"
#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "plugin/ScopePlugin.h"
#include "tests/support/FakeHost.h"

class ScopeEditor;

inline constexpr IMouseFlags kLeft{true, false, false, false, false};
inline constexpr IMouseFlags kRight{false, true, false, false, false};
inline constexpr IMouseFlags kHover{};

// A plug-in reporting to a FakeHost: created through the module's entry (with its
// editor), or bare, for controls tested on hosts of their own.
class ScopeInstance {
 public:
  explicit ScopeInstance(bool withEditor);
  ~ScopeInstance();
  ScopeInstance(const ScopeInstance&) = delete;
  ScopeInstance& operator=(const ScopeInstance&) = delete;

  ScopePlugin& Plug();
  // The host's side of a parameter: normalised value, and a change from automation.
  double Normalized(int idx);
  double Real(int idx);
  void Automate(int idx, double normalized);
  // The host calls recorded since the last ClearCalls.
  int Count(vst::int32 opcode) const { return host.Count(opcode); }
  const HostCall* Last(vst::int32 opcode) const { return host.Last(opcode); }
  void ClearCalls() { host.calls.clear(); }
  void Open();

  FakeHost host;
  vst::AEffect* effect = nullptr;
};

// One or a few controls on an off-screen host of the editor's size, attached to
// the plug-in after the test added them (so they get the parameter values).
class ControlHost : public ScopeInstance {
 public:
  ControlHost();
  ~ControlHost();
  void Attach();
  IGraphicsOffscreen& G() { return *graphics_; }

 private:
  IGraphicsOffscreen* graphics_;
  bool attached_ = false;
};

// The complete editor, attached as the module entry attaches it, host opened.
class EditorInstance : public ScopeInstance {
 public:
  EditorInstance();
  ScopeEditor& Editor() { return *editor_; }
  IGraphicsOffscreen& G() { return *graphics_; }

 private:
  ScopeEditor* editor_ = nullptr;
  IGraphicsOffscreen* graphics_ = nullptr;
};

// A plain box of one colour, put under the control being tested so that every
// redraw starts from a clean background.
class Backing : public IWidget {
 public:
  Backing(IBox rect, IRgba colour) : IWidget(nullptr, rect, -1), colour_(colour) {}
  bool Draw(IGraphicsHost* graphics) override;

 private:
  IRgba colour_;
};

// Pixel helpers for pictures read back from an off-screen host.
bool SameColour(IRgba a, IRgba b);
// True when some pixel of row y between x1 and x2 (inclusive) has colour c, each
// channel within tolerance (antialiased text rarely hits its colour exactly).
bool RowHas(IGraphicsHost& g, int y, int x1, int x2, IRgba c, int tolerance = 0);
// The same over the rows y1 .. y2.
bool BoxHas(IGraphicsHost& g, IBox box, IRgba c, int tolerance);
// Count of pixels of colour c in column x between y1 and y2 (inclusive).
int ColumnCount(IGraphicsHost& g, int x, int y1, int y2, IRgba c);
