#include "frame/udr/routine_error.h"

#include <cstdint>
#include <string>

namespace vexa::udr {

void RaiseRoutineError(Status* status, const char* routine, const char* text) {
  const std::string message = std::string("Vexa ") + routine + ": " + text;
  const ISC_STATUS vector[] = {isc_arg_gds, isc_random, isc_arg_string,
                               reinterpret_cast<ISC_STATUS>(message.c_str()), isc_arg_end};
  // The status keeps its own copy of the text.
  throw Firebird::FbException(status, vector);
}

}  // namespace vexa::udr
