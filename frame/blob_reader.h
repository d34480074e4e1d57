// Reads the whole text of a BLOB through the server's get-segment call.
#pragma once

#include <memory>

#include "frame/blob_callback.h"

namespace vexa {

// The BLOB's bytes as one NUL-terminated text in a buffer of its total
// length + 1 bytes (a negative total counts as 0). Null when the record, its
// blob handle or its get-segment function is null. Never writes past the
// buffer: each call is offered at most the room left, and reading stops when
// the room is used up. Throws std::bad_alloc when the buffer cannot be had.
std::unique_ptr<char[]> ReadBlobText(const BLOBCALLBACK* blob);

}  // namespace vexa
