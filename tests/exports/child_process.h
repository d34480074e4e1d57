// Runs a program in a process of its own, with changes to its environment,
// and collects what it printed.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vexa::test {

struct ProcessResult {
  int exitCode = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

using EnvironmentChanges = std::vector<std::pair<std::string, std::string>>;

// argv[0] is the program's path. `environment` sets (or replaces) variables
// of this process's environment for the child.
ProcessResult RunProcess(const std::vector<std::string>& argv, const EnvironmentChanges& environment = {});

}  // namespace vexa::test
