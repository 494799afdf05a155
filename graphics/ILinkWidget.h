#pragma once
// An invisible clickable area that asks the desktop to open a document or an
// address, trying a second one when the first cannot be opened.
#include "graphics/IWidget.h"

class ILinkWidget : public IWidget {
 public:
  // Texts longer than their buffers (255, 255 and 1023 characters) are cut.
  ILinkWidget(IPlugBase* plugin, IBox rect, const char* url, const char* fallbackUrl,
              const char* windowTitle);
  void MouseDown(int x, int y, IMouseFlags mod) override;
  bool Draw(IGraphicsHost* graphics) override;
  const char* Url() const { return url; }

 private:
  char url[256] = {};
  char fallbackUrl[256] = {};
  char windowTitle[1024] = {};
};
