#include "frame/udr/parser_lease.h"

#include <string>

#include "frame/udr/routine_error.h"

namespace vexa::udr {

Library& StartedLibrary() {
  Library* library = LoadedLibrary();
  if (library == nullptr) throw RoutineError("the module could not start (out of memory while loading)");
  return *library;
}

ParserLease::ParserLease(bool isQuery) : library_(&StartedLibrary()) {
  handle_ = library_->handles.Create(isQuery, library_->settings);
  if (handle_ == 0) {
    throw RoutineError("all " + std::to_string(HandleTable::kSlotCount) +
                       " parsers are in use (too many open FT_WORDS or FT_TERMS cursors), or memory ran out");
  }
  parser_ = library_->handles.Find(handle_);
}

}  // namespace vexa::udr
