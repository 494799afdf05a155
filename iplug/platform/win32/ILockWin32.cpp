#include "iplug/ILock.h"

#include <windows.h>

ILock::ILock() : impl_(new CRITICAL_SECTION) {
  InitializeCriticalSection(static_cast<CRITICAL_SECTION*>(impl_));
}

ILock::~ILock() {
  DeleteCriticalSection(static_cast<CRITICAL_SECTION*>(impl_));
  delete static_cast<CRITICAL_SECTION*>(impl_);
}

void ILock::Enter() { EnterCriticalSection(static_cast<CRITICAL_SECTION*>(impl_)); }

bool ILock::TryEnter() {
  return TryEnterCriticalSection(static_cast<CRITICAL_SECTION*>(impl_)) != 0;
}

void ILock::Leave() { LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(impl_)); }
