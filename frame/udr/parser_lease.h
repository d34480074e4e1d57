// A parser taken from the module's handle table for the life of one result
// set, and given back when the result set goes, however it ends (read to the
// end, closed early, or failed).
#pragma once

#include <cstdint>

#include "frame/library.h"

namespace vexa::udr {

class ParserLease {
 public:
  // A document parser, or a query parser when `isQuery`. Throws a
  // RoutineError when the module did not start or every handle is in use.
  explicit ParserLease(bool isQuery);
  ~ParserLease() { library_->handles.Free(handle_); }
  ParserLease(const ParserLease&) = delete;
  ParserLease& operator=(const ParserLease&) = delete;

  TParser& Parser() const { return *parser_; }

 private:
  Library* library_;
  std::int32_t handle_;
  TParser* parser_;
};

// The module's state. Throws a RoutineError when it could not start.
Library& StartedLibrary();

}  // namespace vexa::udr
