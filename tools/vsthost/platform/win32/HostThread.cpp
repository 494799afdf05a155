#include "tools/vsthost/HostThread.h"

#include <windows.h>

namespace vsthost {

namespace {

DWORD WINAPI ThreadMain(void* body) {
  (*static_cast<std::function<void()>*>(body))();
  return 0;
}

}  // namespace

HostThread::~HostThread() { Join(); }

bool HostThread::Start(std::function<void()> body) {
  if (impl_ != nullptr) return false;
  body_ = std::move(body);
  impl_ = CreateThread(nullptr, 0, ThreadMain, &body_, 0, nullptr);
  return impl_ != nullptr;
}

void HostThread::Join() {
  if (impl_ == nullptr) return;
  WaitForSingleObject(static_cast<HANDLE>(impl_), INFINITE);
  CloseHandle(static_cast<HANDLE>(impl_));
  impl_ = nullptr;
}

double NowSeconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) / double(frequency.QuadPart);
}

void SleepSeconds(double seconds) {
  if (seconds > 0.0) Sleep(DWORD(seconds * 1000.0 + 0.5));
}

}  // namespace vsthost
