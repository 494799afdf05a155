#include <pthread.h>

#include <new>

#include "iplug/ILock.h"

// A recursive mutex with priority inheritance: when a host's real-time audio thread
// waits for the instance lock held by an ordinary thread (a parameter change, the
// editor copying samples), the holder runs at the waiter's priority until it lets go,
// so the short critical section is not left waiting behind other work on a busy
// machine.
ILock::ILock() {
  auto* mutex = new pthread_mutex_t;
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_INHERIT);
  if (pthread_mutex_init(mutex, &attr) != 0) {
    // Without priority inheritance (refused by the system) it is still a lock.
    pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_NONE);
    pthread_mutex_init(mutex, &attr);
  }
  pthread_mutexattr_destroy(&attr);
  impl_ = mutex;
}

ILock::~ILock() {
  auto* mutex = static_cast<pthread_mutex_t*>(impl_);
  pthread_mutex_destroy(mutex);
  delete mutex;
}

void ILock::Enter() { pthread_mutex_lock(static_cast<pthread_mutex_t*>(impl_)); }

bool ILock::TryEnter() { return pthread_mutex_trylock(static_cast<pthread_mutex_t*>(impl_)) == 0; }

void ILock::Leave() { pthread_mutex_unlock(static_cast<pthread_mutex_t*>(impl_)); }
