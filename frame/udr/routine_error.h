// Nothing but the engine's own status errors leaves the module: every entry
// from the engine runs its work through Guarded, which turns any exception
// into a Firebird error that names the routine.
#pragma once

#include <new>
#include <stdexcept>

#include "frame/udr/firebird_udr.h"

namespace vexa::udr {

// A failure a routine reports to its caller, in words the caller can act on.
class RoutineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws the engine's exception carrying "Vexa <routine>: <text>".
[[noreturn]] void RaiseRoutineError(Status* status, const char* routine, const char* text);

// Runs `work` and returns what it returns. An engine error passes as it is;
// every other exception becomes an engine error naming `routine`.
template <typename Work>
auto Guarded(Status* status, const char* routine, Work&& work) -> decltype(work()) {
  try {
    return work();
  } catch (const Firebird::FbException&) {
    throw;
  } catch (const std::bad_alloc&) {
    RaiseRoutineError(status, routine, "out of memory");
  } catch (const std::exception& error) {
    RaiseRoutineError(status, routine, error.what());
  } catch (...) {
    RaiseRoutineError(status, routine, "unexpected failure");
  }
}

}  // namespace vexa::udr
