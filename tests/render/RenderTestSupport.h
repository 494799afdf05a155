// Helpers of the render tool's tests: running the tool in-process with its messages
// captured, audio files made on the spot, and pictures read back and compared.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IBox.h"
#include "raster/MemBitmap.h"

namespace rendertest {

struct ToolRun {
  int code = -1;
  std::string out;
  std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args);

// Whether this build's plug-in has its editor (the tool can only fail without it).
bool PluginHasEditor();

// A fresh folder under /tmp, removed with everything in it when destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Writes a 32-bit float WAV file; sample(channel, index) gives each value.
bool WriteWav(const std::string& path, int channels, int rate, long frames,
              const std::function<float(int, long)>& sample);

std::unique_ptr<MemBitmap> LoadPicture(const std::string& path);

// Editor areas that hold text (labels, readouts, axis numbers). Glyphs depend on
// the FreeType version and the fonts installed, so comparisons leave them out.
const std::vector<IBox>& TextAreas();
// The display well with its hold handle, axes and overlays.
IBox DisplayArea();

struct PictureDiff {
  long compared = 0;   // pixels looked at
  long differing = 0;  // pixels whose largest channel difference exceeds the threshold
  int largest = 0;     // largest channel difference seen
};

// Compares two pictures of the same size, skipping the boxes in `skip`.
PictureDiff ComparePictures(MemBitmap& a, MemBitmap& b, const std::vector<IBox>& skip,
                            int threshold);

}  // namespace rendertest
