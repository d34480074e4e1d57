#pragma once

#include <windows.h>

namespace vexa::platform {

// A Win32 critical section. Entering one this thread already holds does not
// block (critical sections are recursive); the library never does.
class Mutex {
 public:
  Mutex() { InitializeCriticalSection(&section_); }
  ~Mutex() { DeleteCriticalSection(&section_); }
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void Lock() { EnterCriticalSection(&section_); }
  void Unlock() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

}  // namespace vexa::platform
