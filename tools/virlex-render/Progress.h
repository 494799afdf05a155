// A progress bar for long renders, drawn on one terminal line that is rewritten in
// place. Shown only when enabled (the tool enables it for a terminal and a run of
// more than a few seconds of audio), so logs and pipes stay clean.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace render {

// The bar's text for done of total, e.g. "[#####.....]  50%  12/24 frames".
std::string ProgressLine(std::int64_t done, std::int64_t total, int width);

class Progress {
 public:
  Progress(std::FILE* out, std::int64_t total, bool enabled);
  // Redraws only when the shown percentage changes.
  void Update(std::int64_t done);
  // Ends the line (when anything was drawn).
  void Finish();

 private:
  std::FILE* out_;
  std::int64_t total_;
  bool enabled_;
  int shownPercent_ = -1;
};

}  // namespace render
