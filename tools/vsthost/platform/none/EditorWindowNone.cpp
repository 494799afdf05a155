// Builds without a window-system backend: the edit command says so and stops.
#include "tools/vsthost/EditorWindow.h"

namespace vsthost {

std::unique_ptr<EditorWindow> EditorWindow::Create(int, int, const std::string&,
                                                   std::string& error) {
  error = "this build of vsthost has no window system to open an editor in";
  return nullptr;
}

}  // namespace vsthost
