#include "tools/vsthost/HostThread.h"

#include <chrono>
#include <thread>

namespace vsthost {

HostThread::~HostThread() { Join(); }

bool HostThread::Start(std::function<void()> body) {
  if (impl_ != nullptr) return false;
  body_ = std::move(body);
  impl_ = new std::thread([this] { body_(); });
  return true;
}

void HostThread::Join() {
  auto* thread = static_cast<std::thread*>(impl_);
  if (thread == nullptr) return;
  thread->join();
  delete thread;
  impl_ = nullptr;
}

double NowSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SleepSeconds(double seconds) {
  if (seconds > 0.0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace vsthost
