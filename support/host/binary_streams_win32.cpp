#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "support/host/binary_streams.h"

namespace vexa::host {

void UseBinaryStandardStreams() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace vexa::host
