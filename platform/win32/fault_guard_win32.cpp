// A filter is foreign code that runs on the server's threads. When it
// faults (a bad pointer, a division by zero, a stack overflow), the fault
// must cost the word, not the server. Before the call the thread arms a
// guard: a jump buffer in a thread-local slot. The vectored exception
// handler, which Windows calls first for every exception of the process,
// looks at that slot only: on a thread with an armed guard it turns a
// processor fault into a jump back into CallFilter, which reports the word
// as failed; everything else (other threads, C++ exceptions, breakpoints)
// goes on to the usual handlers.
//
// The jump is GCC's __builtin_setjmp/__builtin_longjmp: it restores the
// stack and frame pointers and nothing else, so it does not unwind through
// the filter's frames (there is nothing of ours in them to unwind).
#include "platform/win32/fault_guard_win32.h"

#include <windows.h>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

// What a thread arms while a filter runs: where to jump back to, and, once
// the handler jumped, which fault it was.
struct TGuard {
  void* jump[5];  // __builtin_setjmp's buffer
  DWORD fault;
};

DWORD guardSlot = TLS_OUT_OF_INDEXES;
PVOID handler = nullptr;

bool IsProcessorFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW:
      return true;
    default:
      return false;
  }
}

// TlsGetValue clears the thread's last error; the handler sees exceptions
// of code that may be about to read it.
TGuard* ArmedGuard() {
  const DWORD lastError = GetLastError();
  void* guard = TlsGetValue(guardSlot);
  SetLastError(lastError);
  return static_cast<TGuard*>(guard);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* exception) {
  if (guardSlot == TLS_OUT_OF_INDEXES || exception == nullptr || exception->ExceptionRecord == nullptr) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  TGuard* guard = ArmedGuard();
  if (guard == nullptr || !IsProcessorFault(exception->ExceptionRecord->ExceptionCode)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  TlsSetValue(guardSlot, nullptr);  // a fault on the way back is not ours to catch
  guard->fault = exception->ExceptionRecord->ExceptionCode;
  __builtin_longjmp(guard->jump, 1);
}

// A stack overflow used up the guard page below the thread's stack; without
// a new one the next overflow would find no room to raise an exception and
// end the process. The lowest committed page of the stack becomes the guard
// page again (what the C runtime's _resetstkoflw does).
// GCC 12 takes the header's segment-register read in NtCurrentTeb for an
// access to an empty array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const NT_TIB* ThreadInformationBlock() { return reinterpret_cast<const NT_TIB*>(NtCurrentTeb()); }
#pragma GCC diagnostic pop

void RestoreStackGuardPage() {
  auto* lowest = static_cast<char*>(ThreadInformationBlock()->StackLimit);
  char here = 0;
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  // Never the page the call is standing on.
  if (&here - lowest < static_cast<std::ptrdiff_t>(2 * system.dwPageSize)) return;
  DWORD previous = 0;
  VirtualProtect(lowest, system.dwPageSize, PAGE_READWRITE | PAGE_GUARD, &previous);
}

// Returns the fault that ended the call, or 0 when the filter returned.
// Kept out of line: the guard must live in a frame of its own that stays put
// while the filter runs.
__attribute__((noinline)) DWORD CallGuarded(ProcessWordFunction processWord, char* word) {
  TGuard guard{};
  // Written by the handler behind the compiler's back: read from memory.
  if (__builtin_setjmp(guard.jump) != 0) return static_cast<const volatile DWORD&>(guard.fault);
  TlsSetValue(guardSlot, &guard);
  try {
    processWord(word);
  } catch (...) {
    TlsSetValue(guardSlot, nullptr);
    throw;
  }
  TlsSetValue(guardSlot, nullptr);
  return 0;
}

}  // namespace

void InstallFaultGuard() noexcept {
  guardSlot = TlsAlloc();
  if (guardSlot == TLS_OUT_OF_INDEXES) return;
  handler = AddVectoredExceptionHandler(1, &OnException);
}

void RemoveFaultGuard() noexcept {
  if (handler != nullptr) RemoveVectoredExceptionHandler(handler);
  handler = nullptr;
  if (guardSlot != TLS_OUT_OF_INDEXES) TlsFree(guardSlot);
  guardSlot = TLS_OUT_OF_INDEXES;
}

bool CallFilter(ProcessWordFunction processWord, char* word) {
  if (handler == nullptr) {
    processWord(word);  // no guard could be installed: the call as it is
    return true;
  }
  const DWORD fault = CallGuarded(processWord, word);
  if (fault == 0) return true;
  if (fault == EXCEPTION_STACK_OVERFLOW) RestoreStackGuardPage();
  return false;
}

}  // namespace vexa::platform
