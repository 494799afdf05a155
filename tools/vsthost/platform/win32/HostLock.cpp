#include "tools/vsthost/HostLock.h"

#include <windows.h>

namespace vsthost {

namespace {
CRITICAL_SECTION* Section(void* impl) { return static_cast<CRITICAL_SECTION*>(impl); }
}  // namespace

HostLock::HostLock() : impl_(new CRITICAL_SECTION) { InitializeCriticalSection(Section(impl_)); }
HostLock::~HostLock() {
  DeleteCriticalSection(Section(impl_));
  delete Section(impl_);
}
void HostLock::Lock() { EnterCriticalSection(Section(impl_)); }
void HostLock::Unlock() { LeaveCriticalSection(Section(impl_)); }

}  // namespace vsthost
