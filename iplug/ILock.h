// The one lock type of the program: re-entrant, so that a handler holding it may
// call back into any other operation that takes it on the same thread.
// A Win32 critical section on Windows, a recursive mutex elsewhere.
#pragma once

class ILock {
 public:
  ILock();
  ~ILock();
  ILock(const ILock&) = delete;
  ILock& operator=(const ILock&) = delete;

  void Enter();
  // Takes the lock only when that needs no waiting; true when it was taken (then
  // Leave must follow). For the audio thread, which may not wait on other threads.
  bool TryEnter();
  void Leave();

 private:
  void* impl_;
};

// Holds a lock for the lifetime of a scope.
class ILockGuard {
 public:
  explicit ILockGuard(ILock& lock) : lock_(lock) { lock_.Enter(); }
  ~ILockGuard() { lock_.Leave(); }
  ILockGuard(const ILockGuard&) = delete;
  ILockGuard& operator=(const ILockGuard&) = delete;

 private:
  ILock& lock_;
};
