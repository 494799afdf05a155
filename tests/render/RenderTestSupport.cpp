#include "tests/render/RenderTestSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "graphics/RasterLoadPng.h"
#include "tools/virlex-render/RenderJob.h"
#include "tools/virlex-render/RenderSession.h"
#include "tools/vsthost/audio/AudioFile.h"

namespace rendertest {

namespace {

std::string Drain(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) text.append(buf, n);
  std::fclose(f);
  return text;
}

bool Inside(const IBox& b, int x, int y) {
  return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args) {
  ToolRun run;
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  run.code = render::RunRender(args, out, err);
  run.out = Drain(out);
  run.err = Drain(err);
  return run;
}

bool PluginHasEditor() {
  render::RenderSession session;
  std::string error;
  return session.Start(48000.0, 512, error) && session.OpenEditor(error);
}

TempDir::TempDir() {
  char name[] = "/tmp/virlex-render-test-XXXXXX";
  path_ = mkdtemp(name) != nullptr ? name : "/tmp";
}

TempDir::~TempDir() {
  if (path_ == "/tmp") return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

bool WriteWav(const std::string& path, int channels, int rate, long frames,
              const std::function<float(int, long)>& sample) {
  vsthost::AudioData audio;
  audio.sampleRate = rate;
  audio.channels.assign(static_cast<std::size_t>(channels),
                        std::vector<float>(static_cast<std::size_t>(frames)));
  for (int c = 0; c < channels; ++c)
    for (long i = 0; i < frames; ++i)
      audio.channels[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = sample(c, i);
  std::string error;
  return vsthost::WriteAudioFile(path, audio, vsthost::SampleFormat::Float32, error);
}

std::unique_ptr<MemBitmap> LoadPicture(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  std::unique_ptr<MemBitmap> picture(new MemBitmap());
  if (RasterLoadPngFromMemory(bytes.data(), bytes.size(), picture.get()) == nullptr) return nullptr;
  return picture;
}

const std::vector<IBox>& TextAreas() {
  static const std::vector<IBox> areas = {
      {76, 28, 660, 55},     // horizontal axis numbers above the display
      {618, 44, 668, 372},   // vertical axis numbers right of it
      {620, 180, 684, 236},  // hold label and level
      {76, 364, 626, 384},   // time labels below the display
      {38, 382, 80, 400},    // "ZOOM"
      {620, 380, 690, 402},  // freeze button
      {36, 404, 600, 426},   // value, delay and level texts
      {650, 478, 696, 503},  // version
  };
  return areas;
}

IBox DisplayArea() { return IBox{76, 36, 684, 402}; }

PictureDiff ComparePictures(MemBitmap& a, MemBitmap& b, const std::vector<IBox>& skip,
                            int threshold) {
  PictureDiff diff;
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) {
    diff.differing = -1;
    return diff;
  }
  for (int y = 0; y < a.GetHeight(); ++y) {
    for (int x = 0; x < a.GetWidth(); ++x) {
      if (std::any_of(skip.begin(), skip.end(), [&](const IBox& s) { return Inside(s, x, y); }))
        continue;
      const RasterPixel pa = a.GetBits()[y * a.GetRowSpan() + x];
      const RasterPixel pb = b.GetBits()[y * b.GetRowSpan() + x];
      int largest = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const int ca = int((pa >> shift) & 0xFF), cb = int((pb >> shift) & 0xFF);
        largest = std::max(largest, std::abs(ca - cb));
      }
      ++diff.compared;
      diff.largest = std::max(diff.largest, largest);
      if (largest > threshold) ++diff.differing;
    }
  }
  return diff;
}

}  // namespace rendertest
