// A plain (non-recursive) lock for the host's shared records. Platform code: a
// std::mutex on POSIX, a critical section on Windows, where the mingw tool chain's
// thread model offers no std::mutex.
#pragma once

namespace vsthost {

class HostLock {
 public:
  HostLock();
  ~HostLock();
  HostLock(const HostLock&) = delete;
  HostLock& operator=(const HostLock&) = delete;

  void Lock();
  void Unlock();

 private:
  void* impl_;
};

class HostLockGuard {
 public:
  explicit HostLockGuard(HostLock& lock) : lock_(lock) { lock_.Lock(); }
  ~HostLockGuard() { lock_.Unlock(); }
  HostLockGuard(const HostLockGuard&) = delete;
  HostLockGuard& operator=(const HostLockGuard&) = delete;

 private:
  HostLock& lock_;
};

}  // namespace vsthost
