// The embedded image table: complete, byte-identical to the PNG files, and
// each entry a picture of the size the editor's controls are laid out for.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "resources/EmbeddedResources.h"

namespace {

struct Expected {
  int id;
  const char* name;
  int width;
  int height;
};

constexpr Expected kImages[] = {
    {100, "img/bg.png", 724, 526},       {101, "img/big_knob.png", 43, 43},
    {102, "img/sm_button.png", 27, 54},  {105, "img/knob_line.png", 31, 31},
    {106, "img/bar_handle.png", 16, 16}, {107, "img/trig_handle.png", 15, 15},
};

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
}

// Decoded picture as 8-bit RGBA rows; empty when libpng rejects the bytes.
struct Picture {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  std::vector<unsigned char> rgba;

  const unsigned char* At(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
  int Luma(int x, int y) const {
    const unsigned char* p = At(x, y);
    return (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
  }
};

Picture Decode(const EmbeddedResource& r) {
  Picture pic;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, r.data, r.size)) return pic;
  pic.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  pic.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pic.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    pic.rgba.clear();
    return pic;
  }
  pic.width = int(image.width);
  pic.height = int(image.height);
  return pic;
}

Picture DecodeId(int id) {
  const EmbeddedResource* r = FindEmbeddedResource(id);
  return r ? Decode(*r) : Picture{};
}

const char* FileName(const char* name) { return name + 4; }  // after "img/"

}  // namespace

TEST(EmbeddedResources, EveryImageIsPresentByIdAndName) {
  for (const Expected& e : kImages) {
    const EmbeddedResource* r = FindEmbeddedResource(e.id);
    ASSERT_NE(r, nullptr) << e.id;
    EXPECT_EQ(r->id, e.id);
    EXPECT_STREQ(r->name, e.name);
  }
}

TEST(EmbeddedResources, UnknownIdsAreAbsent) {
  for (int id : {0, -1, 99, 103, 104, 108, 200}) EXPECT_EQ(FindEmbeddedResource(id), nullptr) << id;
}

TEST(EmbeddedResources, BytesMatchTheFilesTheyWereMadeFrom) {
  for (const Expected& e : kImages) {
    const EmbeddedResource* r = FindEmbeddedResource(e.id);
    ASSERT_NE(r, nullptr);
    const std::vector<unsigned char> file =
        ReadFile(std::string(VIRLEX_RESOURCE_DIR) + "/" + FileName(e.name));
    ASSERT_FALSE(file.empty()) << e.name;
    ASSERT_EQ(r->size, file.size()) << e.name;
    EXPECT_TRUE(std::equal(file.begin(), file.end(), r->data)) << e.name;
  }
}

TEST(EmbeddedResources, EachDecodesToItsLayoutSize) {
  for (const Expected& e : kImages) {
    const Picture pic = DecodeId(e.id);
    ASSERT_FALSE(pic.rgba.empty()) << e.name;
    EXPECT_EQ(pic.width, e.width) << e.name;
    EXPECT_EQ(pic.height, e.height) << e.name;
    // Only the background is opaque; the control images are blended with alpha.
    EXPECT_EQ(pic.hasAlpha, e.id != 100) << e.name;
  }
}

// What the controls draw over the background needs certain areas plain.
TEST(EmbeddedResources, BackgroundLeavesTheControlAreasReadable) {
  const Picture bg = DecodeId(100);
  ASSERT_EQ(bg.width, 724);
  // The display well (80, 56, 618, 362) is one plain dark colour.
  const unsigned char* well = bg.At(80, 56);
  EXPECT_LT(bg.Luma(80, 56), 24);
  for (int y = 56; y < 362; ++y)
    for (int x = 80; x < 618; ++x)
      ASSERT_TRUE(std::equal(well, well + 3, bg.At(x, y))) << x << "," << y;
  // The version text is black: its area (656, 484, 690, 499) must be light.
  for (int y = 484; y < 499; ++y)
    for (int x = 656; x < 690; ++x) ASSERT_GT(bg.Luma(x, y), 130) << x << "," << y;
  // The value texts are white: their row (y 409..421) stays dark under each.
  const int valueLefts[] = {43, 105, 140, 194, 229, 283, 318, 372, 407, 456, 504, 552};
  for (int left : valueLefts)
    for (int y = 409; y < 421; ++y)
      for (int x = left; x < left + 30; ++x) ASSERT_LT(bg.Luma(x, y), 40) << x << "," << y;
}

TEST(EmbeddedResources, KnobLineIsAnUprightIndicatorOnTransparency) {
  const Picture line = DecodeId(105);
  ASSERT_EQ(line.width, 31);
  // Corners and the centre are see-through; the body below shows there.
  for (auto [x, y] : {std::pair{0, 0}, {30, 0}, {0, 30}, {30, 30}, {15, 15}, {15, 25}})
    EXPECT_EQ(line.At(x, y)[3], 0) << x << "," << y;
  // Straight above the rotation centre (pixel 15) there is an opaque light mark.
  int opaqueAbove = 0;
  for (int y = 0; y < 15; ++y)
    if (line.At(15, y)[3] == 255 && line.Luma(15, y) > 200) ++opaqueAbove;
  EXPECT_GE(opaqueAbove, 4);
}

TEST(EmbeddedResources, SwitchFramesDifferAndAreStackedOffThenOn) {
  const Picture sw = DecodeId(102);
  ASSERT_EQ(sw.height, 54);
  // The lit frame (lower) is brighter at its indicator than the unlit one.
  int offSum = 0, onSum = 0;
  for (int y = 10; y < 17; ++y)
    for (int x = 10; x < 17; ++x) offSum += sw.Luma(x, y), onSum += sw.Luma(x, y + 27);
  EXPECT_GT(onSum, offSum + 49 * 60);
}
