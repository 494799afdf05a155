// Every input the fuzzers kept, run again in every build: what once crashed or
// found new code stays covered by the ordinary test command.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzTargets.h"

namespace {

namespace fs = std::filesystem;

int ReplayCorpus(const char* folder, void (*target)(const std::uint8_t*, std::size_t)) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(VIRLEX_FUZZ_CORPORA) / folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    SCOPED_TRACE(entry.path().string());
    target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++files;
  }
  return files;
}

TEST(FuzzReplay, ChunkCorpusLoadsSafely) {
  EXPECT_GT(ReplayCorpus("chunk_corpus", &FuzzChunks), 10);
}

TEST(FuzzReplay, DispatcherCorpusRunsSafely) {
  EXPECT_GT(ReplayCorpus("dispatch_corpus", &FuzzDispatcher), 10);
}

}  // namespace
