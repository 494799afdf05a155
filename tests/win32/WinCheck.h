// A small test runner for programs that run on Windows (under wine on Linux): the
// cross tool chain's thread model has no std::mutex, which GoogleTest needs. Each
// WIN_TEST runs in order; CHECKs report file, line and the failed expression, and
// the run ends with the line "N passed, N failed" and exit code 0 only when none
// failed. Any argument selects the tests whose names contain it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace wincheck {

using TestBody = void (*)();

struct Test {
  const char* name;
  TestBody body;
};

std::vector<Test>& Registry();
// Records a failed check of the running test.
void Fail(const char* file, int line, const std::string& what);

struct Registrar {
  Registrar(const char* name, TestBody body) { Registry().push_back({name, body}); }
};

template <typename A, typename B>
bool CheckEqual(const A& a, const B& b, const char* as, const char* bs, const char* file,
                int line) {
  if (a == b) return true;
  Fail(file, line,
       std::string(as) + " == " + bs + " (" + std::to_string(a) + " vs " + std::to_string(b) + ")");
  return false;
}

}  // namespace wincheck

#define WIN_TEST(name)                                             \
  static void name();                                              \
  static const wincheck::Registrar name##_registrar(#name, &name); \
  static void name()

#define CHECK(cond) ((cond) ? true : (wincheck::Fail(__FILE__, __LINE__, #cond), false))
#define CHECK_EQ(a, b) wincheck::CheckEqual((a), (b), #a, #b, __FILE__, __LINE__)
