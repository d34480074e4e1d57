// vexa built where Firebird's headers or client library are absent: the
// index command is left out and says so.
#include <cstdio>

#include "tools/vexa/exit_status.h"
#include "tools/vexa/index_command.h"

namespace vexa::inspector {

int RunIndexCommand(const CommandLine&) {
  std::fputs("vexa: this vexa was built without Firebird's client library (firebird/Interface.h, fbclient):\n"
             "vexa: no index command; rebuild it where Firebird's development files are installed\n",
             stderr);
  return kExitNoFirebirdClient;
}

}  // namespace vexa::inspector
