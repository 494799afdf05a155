// Writes the Turtle files of the Virlex.lv2 bundle from the plug-in itself: an
// instance is made through the module's entry and described port by port.
// Usage: virlex-lv2-bundle BUNDLE_DIR
#include <cstdio>
#include <fstream>
#include <string>

#include "iplug/IPlugVST.h"
#include "iplug/Lv2Turtle.h"
#include "lv2/VirlexLv2.h"

extern "C" vst::AEffect* VST_CALLBACK VSTPluginMain(vst::HostCallback host);

#ifndef VIRLEX_LV2_EDITOR_WINDOW
#define VIRLEX_LV2_EDITOR_WINDOW 0
#endif
constexpr bool kModuleHasEditorWindow = VIRLEX_LV2_EDITOR_WINDOW != 0;

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "virlex-lv2-bundle: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: virlex-lv2-bundle BUNDLE_DIR\n");
    return 2;
  }
  vst::AEffect* effect = VSTPluginMain(nullptr);
  IPlugVST* plug = IPlugVST::FromEffect(effect);
  if (plug == nullptr) {
    std::fprintf(stderr, "virlex-lv2-bundle: the plug-in could not be made\n");
    return 1;
  }
  Lv2BundleInfo info;
  info.uri = kVirlexLv2Uri;
  info.binary = kVirlexLv2Binary;
  info.pluginFile = kVirlexLv2PluginFile;
  // The editor is offered as the bundle's X11 UI when the module opens it in a window.
  info.withUi = kModuleHasEditorWindow && plug->Graphics() != nullptr;
  const std::string dir = argv[1];
  const bool ok = WriteFile(dir + "/manifest.ttl", Lv2ManifestTurtle(info)) &&
                  WriteFile(dir + "/" + info.pluginFile, Lv2PluginTurtle(*plug, info));
  effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
  return ok ? 0 : 1;
}
