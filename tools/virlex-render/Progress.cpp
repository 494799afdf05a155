#include "tools/virlex-render/Progress.h"

#include <algorithm>

namespace render {

namespace {

int Percent(std::int64_t done, std::int64_t total) {
  if (total <= 0) return 100;
  done = std::clamp<std::int64_t>(done, 0, total);
  return static_cast<int>(done * 100 / total);
}

}  // namespace

std::string ProgressLine(std::int64_t done, std::int64_t total, int width) {
  done = std::clamp<std::int64_t>(done, 0, std::max<std::int64_t>(total, 0));
  width = std::max(width, 1);
  const int filled = total > 0 ? static_cast<int>(done * width / total) : width;
  std::string line(1, '[');
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(width - filled), '.');
  line.push_back(']');
  char tail[64];
  std::snprintf(tail, sizeof(tail), " %3d%%  %lld/%lld frames", Percent(done, total),
                static_cast<long long>(done), static_cast<long long>(total));
  return line + tail;
}

Progress::Progress(std::FILE* out, std::int64_t total, bool enabled)
    : out_(out), total_(total), enabled_(enabled && out != nullptr) {}

void Progress::Update(std::int64_t done) {
  if (!enabled_) return;
  const int percent = Percent(done, total_);
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  std::fprintf(out_, "\r%s", ProgressLine(done, total_, 40).c_str());
  std::fflush(out_);
}

void Progress::Finish() {
  if (enabled_ && shownPercent_ >= 0) std::fputc('\n', out_);
  shownPercent_ = -1;
}

}  // namespace render
