// Nothing but the engine's own status errors leaves the module: every entry
// from the engine runs its work through Guarded, which turns any exception
// into a Firebird error that names the routine.
#pragma once

#include <new>
#include <stdexcept>
#include <string>

#include "frame/udr/firebird_udr.h"

namespace vexa::udr {

// A failure a routine reports to its caller, in words the caller can act on.
class RoutineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs `read`, which reads a routine's fields from its declaration, and
// returns what is wrong with the declaration, or the empty string. The
// engine makes a routine when a statement first runs it; a failure at that
// point leaves the caller's transaction unable to commit (Firebird 3.0), so
// a declaration the module cannot serve is refused at each call instead
// (RefuseBadDeclaration).
template <typename Read>
std::string DeclarationProblem(Read&& read) noexcept {
  try {
    read();
    return std::string();
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "its declaration could not be read";
  }
}

// Throws a RoutineError with `problem`, unless it is empty.
inline void RefuseBadDeclaration(const std::string& problem) {
  if (!problem.empty()) throw RoutineError(problem);
}

// What a routine answers when the engine asks for its character set: NONE,
// so that texts reach it as the database stores them. The engine's default
// is the connection's character set, in which it would hand over a stored
// text BLOB converted (a WIN1251 database read over a UTF8 connection gave
// its words as UTF-8 bytes).
inline void WorkInStoredCharacterSet(char* name, unsigned nameSize) {
  const char none[] = "NONE";
  for (unsigned i = 0; i < nameSize; ++i) name[i] = i < sizeof none ? none[i] : '\0';
}

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
