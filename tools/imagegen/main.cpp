// virlex-imagegen: draws the editor's pictures and writes them as PNG files.
//   virlex-imagegen OUTDIR [--preview FILE]
// OUTDIR receives bg.png, big_knob.png, sm_button.png, knob_line.png,
// bar_handle.png and trig_handle.png; --preview also writes a composite of
// the panel with its controls in place, for looking at.

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/imagegen/Background.h"
#include "tools/imagegen/PngWrite.h"
#include "tools/imagegen/Preview.h"
#include "tools/imagegen/TextPainter.h"
#include "tools/imagegen/Widgets.h"

namespace {

bool Save(RasterBitmap* surface, const std::string& dir, const char* name, bool withAlpha) {
  const std::string path = dir + "/" + name;
  if (WritePng(surface, path.c_str(), withAlpha)) return true;
  std::fprintf(stderr, "virlex-imagegen: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
    std::fprintf(stderr, "usage: virlex-imagegen OUTDIR [--preview FILE]\n");
    return 2;
  }
  const std::string dir = argv[1];
  TextPainter text;
  if (!text.Ready()) {
    std::fprintf(stderr, "virlex-imagegen: FreeType did not start\n");
    return 1;
  }
  auto knobLine = MakeKnobLine();
  auto bigKnob = MakeBigKnob();
  auto smallKnob = MakeSmallKnob();
  auto switches = MakeSwitch();
  auto barHandle = MakeBarHandle();
  auto holdHandle = MakeHoldHandle();
  auto background = MakeBackground(text, bigKnob.get(), smallKnob.get());
  if (!knobLine || !bigKnob || !switches || !barHandle || !holdHandle || !background) {
    std::fprintf(stderr, "virlex-imagegen: out of memory\n");
    return 1;
  }
  bool ok = Save(background.get(), dir, "bg.png", false);
  ok = Save(bigKnob.get(), dir, "big_knob.png", true) && ok;
  ok = Save(switches.get(), dir, "sm_button.png", true) && ok;
  ok = Save(knobLine.get(), dir, "knob_line.png", true) && ok;
  ok = Save(barHandle.get(), dir, "bar_handle.png", true) && ok;
  ok = Save(holdHandle.get(), dir, "trig_handle.png", true) && ok;
  if (argc == 4) {
    PanelImages images{background.get(), bigKnob.get(),   knobLine.get(),
                       switches.get(),   barHandle.get(), holdHandle.get()};
    auto preview = MakePreview(text, images);
    ok = preview && WritePng(preview.get(), argv[3], false) && ok;
  }
  return ok ? 0 : 1;
}
