#include "graphics/ILinkWidget.h"

#include <cstring>

#include "graphics/IGraphicsHost.h"
#include "iplug/Trace.h"

namespace {

template <size_t N>
void Fill(char (&dst)[N], const char* src) {
  if (src == nullptr || src[0] == '\0') return;
  const size_t n = strnlen(src, N - 1);
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

}  // namespace

ILinkWidget::ILinkWidget(IPlugBase* plugin, IBox rect, const char* url, const char* fallbackUrl,
                         const char* windowTitle)
    : IWidget(plugin, rect, -1) {
  Fill(this->url, url);
  Fill(this->fallbackUrl, fallbackUrl);
  Fill(this->windowTitle, windowTitle);
  // Where a link leads is decided when the editor is built (the manual's address comes
  // from the plug-in's folder); the trace shows it for a user whose link opens nothing.
  TRACE_CALL("ILinkWidget::ILinkWidget", "url '%s'", this->url);
}

void ILinkWidget::MouseDown(int, int, IMouseFlags) {
  if (graphics == nullptr || url[0] == '\0') return;
  TRACE_CALL("ILinkWidget::MouseDown", "open '%s'", url);
  if (graphics->ShellOpen(url, windowTitle, nullptr, nullptr)) return;
  if (fallbackUrl[0] != '\0') graphics->ShellOpen(fallbackUrl, windowTitle, nullptr, nullptr);
}

bool ILinkWidget::Draw(IGraphicsHost*) { return true; }
