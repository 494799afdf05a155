#include "tests/win32/WinCheck.h"

#include <cstring>

namespace wincheck {

namespace {
int failures = 0;
}

std::vector<Test>& Registry() {
  static std::vector<Test> tests;
  return tests;
}

void Fail(const char* file, int line, const std::string& what) {
  ++failures;
  std::printf("%s:%d: check failed: %s\n", file, line, what.c_str());
}

}  // namespace wincheck

int main(int argc, char** argv) {
  int passed = 0, failed = 0;
  for (const wincheck::Test& test : wincheck::Registry()) {
    if (argc > 1 && std::strstr(test.name, argv[1]) == nullptr) continue;
    std::printf("[ RUN      ] %s\n", test.name);
    std::fflush(stdout);
    const int before = wincheck::failures;
    test.body();
    const bool ok = wincheck::failures == before;
    std::printf("[ %s ] %s\n", ok ? "      OK" : "  FAILED", test.name);
    std::fflush(stdout);
    (ok ? passed : failed) += 1;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 && passed > 0 ? 0 : 1;
}
