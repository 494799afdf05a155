// Pictures for the wine editor tests, made and compared natively:
//   picture_check wav FILE            a looping 4-channel test signal (below)
//   picture_check same A B SHARE      A and B agree outside the text areas: at most
//                                     SHARE (a fraction) of the pixels differ by more
//                                     than kThreshold levels in some channel
//   picture_check still A B           A and B agree inside the display (a frozen one)
//   picture_check moved A B           A and B differ inside the display (a live one)
// Prints what it compared; exit 0 when the claim holds, 1 when not, 2 on bad input.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "tests/render/RenderTestSupport.h"

using namespace rendertest;

namespace {

constexpr int kThreshold = 24;
constexpr int kRate = 48000;
// Every period divides the length, so the signal loops without a seam and a
// triggered trace stands still wherever the loop happens to be.
constexpr long kFrames = 2 * kRate;

float Sample(int channel, long i) {
  const double t = double(i) / kRate;
  const double w = 2.0 * std::numbers::pi;
  switch (channel) {
    case 0:
      return float(0.6 * std::sin(w * 375.0 * t));
    case 1:
      return float(0.5 * std::cos(w * 375.0 * t));
    case 2:
      return float(0.4 * std::sin(w * 750.0 * t) + 0.2 * std::sin(w * 1500.0 * t));
    default:
      return (i / 128) % 2 ? 0.4f : -0.4f;
  }
}

bool Load(const char* a, const char* b, std::unique_ptr<MemBitmap>& pa,
          std::unique_ptr<MemBitmap>& pb) {
  pa = LoadPicture(a);
  pb = LoadPicture(b);
  if (pa == nullptr || pb == nullptr) {
    std::printf("cannot read %s\n", pa == nullptr ? a : b);
    return false;
  }
  return true;
}

// The boxes outside `keep`: everything but that area is skipped.
std::vector<IBox> AllBut(IBox keep, int w, int h) {
  return {{0, 0, w, keep.top}, {0, keep.bottom, w, h}, {0, keep.top, keep.left, keep.bottom},
          {keep.right, keep.top, w, keep.bottom}};
}

PictureDiff Report(const char* what, MemBitmap& a, MemBitmap& b, const std::vector<IBox>& skip) {
  const PictureDiff d = ComparePictures(a, b, skip, kThreshold);
  if (d.differing < 0) {
    std::printf("%s: the pictures differ in size\n", what);
  } else {
    std::printf("%s: %ld of %ld pixels differ by more than %d (%.3f %%), largest difference %d\n",
                what, d.differing, d.compared, kThreshold,
                d.compared > 0 ? 100.0 * double(d.differing) / double(d.compared) : 0.0, d.largest);
  }
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "wav" && argc == 3) {
    return WriteWav(argv[2], 4, kRate, kFrames, Sample) ? 0 : 2;
  }
  std::unique_ptr<MemBitmap> a, b;
  if (mode == "same" && argc == 5) {
    const double share = std::atof(argv[4]);
    if (!Load(argv[2], argv[3], a, b)) return 2;
    const PictureDiff d = Report("outside the text areas", *a, *b, TextAreas());
    return d.differing >= 0 && double(d.differing) <= share * double(d.compared) ? 0 : 1;
  }
  if ((mode == "still" || mode == "moved") && argc == 4) {
    if (!Load(argv[2], argv[3], a, b)) return 2;
    std::vector<IBox> skip = AllBut(DisplayArea(), a->GetWidth(), a->GetHeight());
    skip.insert(skip.end(), TextAreas().begin(), TextAreas().end());
    const PictureDiff d = Report("inside the display", *a, *b, skip);
    if (d.differing < 0) return 1;
    return (mode == "still") == (d.differing == 0) ? 0 : 1;
  }
  std::printf("usage: picture_check wav FILE | same A B SHARE | still A B | moved A B\n");
  return 2;
}
