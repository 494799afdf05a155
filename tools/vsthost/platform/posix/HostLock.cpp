#include "tools/vsthost/HostLock.h"

#include <mutex>

namespace vsthost {

HostLock::HostLock() : impl_(new std::mutex) {}
HostLock::~HostLock() { delete static_cast<std::mutex*>(impl_); }
void HostLock::Lock() { static_cast<std::mutex*>(impl_)->lock(); }
void HostLock::Unlock() { static_cast<std::mutex*>(impl_)->unlock(); }

}  // namespace vsthost
