// A thread of the host (the audio engine's), a monotonic clock and sleeping.
// Platform code: std::thread on POSIX; on Windows the Win32 calls, since the mingw
// tool chain's thread model offers no std::thread.
#pragma once

#include <functional>

namespace vsthost {

class HostThread {
 public:
  HostThread() = default;
  ~HostThread();  // joins
  HostThread(const HostThread&) = delete;
  HostThread& operator=(const HostThread&) = delete;

  // Runs body on a new thread; false when none could be started.
  bool Start(std::function<void()> body);
  void Join();
  bool Running() const { return impl_ != nullptr; }

 private:
  std::function<void()> body_;
  void* impl_ = nullptr;
};

// Seconds on a monotonic clock with an arbitrary origin.
double NowSeconds();
// Sleeps for about this long; nothing for zero or less.
void SleepSeconds(double seconds);

}  // namespace vsthost
