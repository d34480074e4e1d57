#include "child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include "tools/temp_directory.h"

extern char** environ;

namespace vexa_test {
namespace {

std::vector<std::string> ChildEnvironment(const EnvironmentChanges& changes) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : changes) variables[name] = value;
  std::vector<std::string> result;
  for (const auto& [name, value] : variables) result.push_back(name + "=" + value);
  return result;
}

std::vector<char*> PointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const EnvironmentChanges& environment) {
  const vexa_host::TempDirectory outputs;
  const std::string outPath = (outputs.Path() / "stdout").string();
  const std::string errPath = (outputs.Path() / "stderr").string();

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> arguments = argv;
  std::vector<std::string> variables = ChildEnvironment(environment);
  std::vector<char*> argumentPointers = PointersTo(arguments);
  std::vector<char*> variablePointers = PointersTo(variables);

  pid_t child = 0;
  const int spawnError =
      posix_spawn(&child, arguments.front().c_str(), &actions, nullptr, argumentPointers.data(), variablePointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawnError != 0) throw std::runtime_error("cannot start " + arguments.front());

  int status = 0;
  if (waitpid(child, &status, 0) != child) throw std::runtime_error("lost the child " + arguments.front());

  ProcessResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace vexa_test
