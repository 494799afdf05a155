#include "tests/display/DisplayTestSupport.h"

#include <cstdlib>

#include "iplug/IPlugParam.h"
#include "iplug/VstEntry.h"
#include "plugin/display/ScopeEditor.h"

extern "C" vst::AEffect* VSTPluginMain(vst::HostCallback host);

ScopeInstance::ScopeInstance(bool withEditor) {
  auto bare = [](vst::HostCallback h) -> IPlugVST* { return new ScopePlugin(h); };
  effect =
      withEditor ? VSTPluginMain(&FakeHost::Callback) : CreateVstEffect(&FakeHost::Callback, bare);
  host.Bind(effect);
}

ScopeInstance::~ScopeInstance() { Dispatch(effect, vst::effClose); }

ScopePlugin& ScopeInstance::Plug() {
  return *static_cast<ScopePlugin*>(IPlugVST::FromEffect(effect));
}

double ScopeInstance::Normalized(int idx) { return effect->getParameter(effect, idx); }

double ScopeInstance::Real(int idx) { return Plug().Param(idx)->Value(); }

void ScopeInstance::Automate(int idx, double normalized) {
  effect->setParameter(effect, idx, static_cast<float>(normalized));
}

void ScopeInstance::Open() { Dispatch(effect, vst::effOpen); }

ControlHost::ControlHost()
    : ScopeInstance(false), graphics_(new IGraphicsOffscreen(&Plug(), 724, 526, 0)) {}

ControlHost::~ControlHost() {
  if (!attached_) delete graphics_;
}

void ControlHost::Attach() {
  Plug().AttachEditor(graphics_);
  attached_ = true;
}

EditorInstance::EditorInstance() : ScopeInstance(true) {
  editor_ = dynamic_cast<ScopeEditor*>(Plug().Display());
  if (editor_ != nullptr)
    graphics_ = dynamic_cast<IGraphicsOffscreen*>(editor_->Widgets().graphics);
  Open();
}

bool Backing::Draw(IGraphicsHost* graphics) {
  const IBlend opaque{IBLEND_OPAQUE, 1.0f};
  return graphics->FillBox(colour_, rect, &opaque);
}

bool SameColour(IRgba a, IRgba b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

bool RowHas(IGraphicsHost& g, int y, int x1, int x2, IRgba c, int tolerance) {
  for (int x = x1; x <= x2; ++x) {
    const IRgba p = g.ReadPixel(x, y);
    if (std::abs(p.r - c.r) <= tolerance && std::abs(p.g - c.g) <= tolerance &&
        std::abs(p.b - c.b) <= tolerance) {
      return true;
    }
  }
  return false;
}

bool BoxHas(IGraphicsHost& g, IBox box, IRgba c, int tolerance) {
  for (int y = box.top; y < box.bottom; ++y) {
    if (RowHas(g, y, box.left, box.right - 1, c, tolerance)) return true;
  }
  return false;
}

int ColumnCount(IGraphicsHost& g, int x, int y1, int y2, IRgba c) {
  int n = 0;
  for (int y = y1; y <= y2; ++y) n += SameColour(g.ReadPixel(x, y), c);
  return n;
}
