#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tools/virlex-render/Progress.h"

namespace {

std::string Contents(std::FILE* f) {
  std::string s;
  std::rewind(f);
  int c;
  while ((c = std::fgetc(f)) != EOF) s.push_back(static_cast<char>(c));
  return s;
}

}  // namespace

TEST(Progress, LineShowsFilledShareAndCounts) {
  EXPECT_EQ(render::ProgressLine(0, 10, 10), "[..........]   0%  0/10 frames");
  EXPECT_EQ(render::ProgressLine(5, 10, 10), "[#####.....]  50%  5/10 frames");
  EXPECT_EQ(render::ProgressLine(10, 10, 10), "[##########] 100%  10/10 frames");
  EXPECT_EQ(render::ProgressLine(15, 10, 4), "[####] 100%  10/10 frames");  // clamped
  EXPECT_EQ(render::ProgressLine(0, 0, 4), "[####] 100%  0/0 frames");
}

TEST(Progress, RedrawsOnlyWhenThePercentageChangesAndStaysQuietWhenOff) {
  std::FILE* f = std::tmpfile();
  render::Progress bar(f, 1000, true);
  for (int i = 1; i <= 1000; ++i) bar.Update(i);
  bar.Finish();
  const std::string text = Contents(f);
  std::size_t redraws = 0;
  for (char c : text) redraws += c == '\r';
  EXPECT_EQ(redraws, 101u);  // 0 % to 100 %
  EXPECT_EQ(text.back(), '\n');
  std::fclose(f);

  std::FILE* quiet = std::tmpfile();
  render::Progress off(quiet, 1000, false);
  off.Update(500);
  off.Finish();
  EXPECT_TRUE(Contents(quiet).empty());
  std::fclose(quiet);
}
