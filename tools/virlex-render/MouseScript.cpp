#include "tools/virlex-render/MouseScript.h"

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"

namespace render {

namespace {

IMouseFlags Flags(const inputscript::InputEvent& e) {
  IMouseFlags mod;
  mod.shift = e.shift;
  mod.left = e.button == inputscript::Button::kLeft;
  mod.right = e.button == inputscript::Button::kRight;
  return mod;
}

}  // namespace

void PerformMouseAction(IGraphicsOffscreen& editor, const MouseAction& action) {
  using inputscript::EventKind;
  for (const inputscript::InputEvent& e : inputscript::ExpandAction(action)) {
    switch (e.kind) {
      case EventKind::kMove:
        editor.Move(e.x, e.y, Flags(e));
        break;
      case EventKind::kPress:
        editor.Press(e.x, e.y, Flags(e));
        break;
      case EventKind::kRelease:
        editor.Release(e.x, e.y, Flags(e));
        break;
      case EventKind::kSecondPress:
        editor.DoubleClick(e.x, e.y, Flags(e));
        break;
      case EventKind::kWheel:
        editor.Wheel(e.x, e.y, Flags(e), e.wheelDelta);
        break;
      case EventKind::kKey:
      case EventKind::kChar:
        break;
    }
  }
}

}  // namespace render
