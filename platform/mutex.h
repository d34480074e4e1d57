// Mutual-exclusion lock of the platform layer: a pthread mutex on POSIX, a
// critical section on Windows. Not recursive.
#pragma once

#if defined(_WIN32)
#include "platform/win32/mutex_win32.h"
#else
#include "platform/posix/mutex_posix.h"
#endif

namespace vexa::platform {

// Holds a Mutex for the lifetime of the guard.
class MutexGuard {
 public:
  explicit MutexGuard(Mutex& mutex) : mutex_(mutex) { mutex_.Lock(); }
  ~MutexGuard() { mutex_.Unlock(); }
  MutexGuard(const MutexGuard&) = delete;
  MutexGuard& operator=(const MutexGuard&) = delete;

 private:
  Mutex& mutex_;
};

}  // namespace vexa::platform
