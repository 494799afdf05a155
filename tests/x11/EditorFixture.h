// The editor tests' two plug-ins: the built module, loaded as a host loads it, whose
// editor opens in an X11 window; and the same plug-in linked into the test with
// the off-screen editor, which renders the state the window should show.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/platform/offscreen/IGraphicsOffscreen.h"
#include "tests/x11/TestX11Host.h"
#include "tools/vsthost/PluginInstance.h"

inline constexpr int kEditorWidth = 724;
inline constexpr int kEditorHeight = 526;

// One plug-in instance with its host callback record, set up as hosts do:
// 48 kHz, blocks of 512, opened and switched on.
struct HostedPlugin {
  vsthost::HostContext host;
  std::unique_ptr<vsthost::PluginInstance> plug;
  std::string error;

  // The built module (X11 editor).
  bool LoadModule();
  // The plug-in of this test program (off-screen editor).
  bool LoadLinked();
  // Plays seconds of the test signal (four channels) through processReplacing.
  void Play(double seconds, double startSeconds = 0.0);
  float Param(int index) const { return plug->GetParameter(index); }
  bool SetParam(int index, float normalized) { return plug->SetParameter(index, normalized); }
  bool OpenEditor(xcb_window_t parent);
  void CloseEditor();
  // The calls of one opcode the host received, in order.
  std::vector<vsthost::HostCall> CallsOf(int opcode) const;
};

// The off-screen editor of a linked plug-in (null for the module's).
IGraphicsOffscreen* OffscreenEditor(HostedPlugin& p);

// Pixels of the off-screen editor's surface as 0x00RRGGBB.
std::vector<std::uint32_t> OffscreenPicture(IGraphicsOffscreen& g);
// Count of pixels that differ.
int Differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);
// Writes 0x00RRGGBB pixels as a PNG next to the test program, for a look.
void SavePicture(const std::vector<std::uint32_t>& pixels, int width, int height,
                 const std::string& name);
