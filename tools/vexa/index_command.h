// vexa index: a Firebird database's full-text indexes over a client
// connection; what each holds, its problems (FT_CHECK) and its rebuild
// (FT_REBUILD) with progress.
#pragma once

#include "tools/vexa/command_line.h"

namespace vexa::inspector {

// Runs `line` (Command::Index), printing what it found and the server's
// errors; returns the exit status.
int RunIndexCommand(const CommandLine& line);

}  // namespace vexa::inspector
