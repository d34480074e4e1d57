#include "support/host/binary_streams.h"

namespace vexa_host {

// POSIX streams are bytes already.
void UseBinaryStandardStreams() {}

}  // namespace vexa_host
