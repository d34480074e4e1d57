// On POSIX a processor fault is a signal, and the signal handlers belong to
// the server that loaded the module: a fault inside a filter is left to
// them, as any fault of the server's own code is.
#include "platform/platform.h"

namespace vexa::platform {

bool CallFilter(ProcessWordFunction processWord, char* word) {
  processWord(word);
  return true;
}

}  // namespace vexa::platform
