#include "iplug/ILock.h"

#include <mutex>

ILock::ILock() : impl_(new std::recursive_mutex) {}

ILock::~ILock() { delete static_cast<std::recursive_mutex*>(impl_); }

void ILock::Enter() { static_cast<std::recursive_mutex*>(impl_)->lock(); }

bool ILock::TryEnter() { return static_cast<std::recursive_mutex*>(impl_)->try_lock(); }

void ILock::Leave() { static_cast<std::recursive_mutex*>(impl_)->unlock(); }
