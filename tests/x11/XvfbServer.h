// A private X server for the tests: Xvfb on a display number it picks itself
// (-displayfd), so test programs running side by side never collide. One server
// per test program, started before the first test and stopped after the last.
#pragma once

#include <sys/types.h>

#include <string>

class XvfbServer {
 public:
  // Starts Xvfb with one 1280 x 1024 screen of depth 24 and points DISPLAY at it.
  // False, with the reason, when there is no Xvfb or it does not come up.
  bool Start(std::string& whyNot);
  void Stop();
  ~XvfbServer() { Stop(); }

 private:
  pid_t pid_ = -1;
};

// The server of this test program; started on first use. Tests that need X call
// this and skip with the reason when it returns false.
bool TestDisplayAvailable(std::string& whyNot);
