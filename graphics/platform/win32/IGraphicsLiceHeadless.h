#pragma once
// The Windows editor until its window layer exists: draws into its surface and
// loads the module's pictures, but has no window, so opening the editor in a
// host fails cleanly and every dialog reports that nothing was chosen.
#include <string>

#include "graphics/IGraphicsLice.h"

class IGraphicsLiceHeadless : public IGraphicsLice {
 public:
  IGraphicsLiceHeadless(IPlugBase* plugin, int width, int height, int fps, void* module);

  bool PresentRect(IBox) override { return true; }
  bool PaintText(const IFontSpec& font, const char* text, IBox box) override;
  void PromptParamEdit(IWidget*, IPlugParam*) override {}
  void GetHostFolder(std::string& out) override;
  void GetPluginFolder(std::string& out) override;
  void PromptFile(std::string& out, int, const char*, const char*) override { out.clear(); }
  bool PromptColor(IRgba&, const char*) override { return false; }
  bool ShellOpen(const char* url, const char* title, const char* question,
                 const char* errorText) override;
  void* OpenEditorWindow(void*) override { return nullptr; }
  void CloseEditorWindow() override {}
  void* GetEditorWindow() override { return nullptr; }
  RasterBitmap* LoadImageResource(int id, const char* name) override;

 private:
  void* module;
};
