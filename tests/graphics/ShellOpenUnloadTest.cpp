// A host may unload the plug-in's module right after the user opened the manual:
// nothing of ours may still be running (or be returned into) once it is gone.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::string ReadLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

TEST(ShellOpenUnload, ModuleUnloadedWhileTheOpenerRunsLeavesNothingBehind) {
  char dir[] = "/tmp/virlex-unloadXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string script = std::string(dir) + "/xdg-open";
  const std::string out = std::string(dir) + "/opened";
  {
    std::ofstream f(script);
    // Slow, like a desktop opener starting a viewer: it outlives the module.
    f << "#!/bin/sh\n/bin/sleep 0.5\necho \"$1\" > " << out << ".tmp && /bin/mv " << out << ".tmp "
      << out << "\n";
  }
  chmod(script.c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", dir, 1);

  void* module = dlopen(VIRLEX_SHELL_OPEN_PROBE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto open = reinterpret_cast<bool (*)(const char*)>(dlsym(module, "ProbeShellOpen"));
  ASSERT_NE(open, nullptr);
  EXPECT_TRUE(open("/x/manual.pdf"));
  setenv("PATH", oldPath.c_str(), 1);
  ASSERT_EQ(dlclose(module), 0);
  EXPECT_EQ(dlopen(VIRLEX_SHELL_OPEN_PROBE, RTLD_NOW | RTLD_NOLOAD), nullptr)
      << "the module is still mapped; the test proves nothing";

  // The opener finishes after the module is gone; a waiter left in the module's
  // code would now return into unmapped memory and bring the process down.
  std::string line;
  for (int i = 0; i < 500 && line.empty(); ++i) {
    line = ReadLine(out);
    if (line.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(line, "/x/manual.pdf");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  unlink(out.c_str());
  unlink(script.c_str());
  rmdir(dir);
}

}  // namespace
