#include "support/host/binary_streams.h"

namespace vexa::host {

// POSIX streams are bytes already.
void UseBinaryStandardStreams() {}

}  // namespace vexa::host
