#include "child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <stdexcept>

#include "support/host/child_launch_posix.h"
#include "support/host/temp_directory.h"

namespace vexa::test {

ProcessResult RunProcess(const std::vector<std::string>& argv, const EnvironmentChanges& environment) {
  const vexa::host::TempDirectory outputs;
  const std::string outPath = (outputs.Path() / "stdout").string();
  const std::string errPath = (outputs.Path() / "stderr").string();

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> arguments = argv;
#ifdef VEXA_CHILD_LAUNCHER
  // The test runs under an emulator, and so must the programs it starts.
  arguments.insert(arguments.begin(), VEXA_CHILD_LAUNCHER);
#endif
  std::vector<std::string> variables = vexa::host::EnvironmentWith(environment);
  std::vector<char*> argumentPointers = vexa::host::NullTerminatedPointers(arguments);
  std::vector<char*> variablePointers = vexa::host::NullTerminatedPointers(variables);

  pid_t child = 0;
  const int spawnError =
      posix_spawn(&child, arguments.front().c_str(), &actions, nullptr, argumentPointers.data(), variablePointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawnError != 0) throw std::runtime_error("cannot start " + arguments.front());

  int status = 0;
  if (waitpid(child, &status, 0) != child) throw std::runtime_error("lost the child " + arguments.front());

  ProcessResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = vexa::host::FileContents(outPath);
  result.err = vexa::host::FileContents(errPath);
  return result;
}

}  // namespace vexa::test
