#include "vexa_call_runner.h"

#include <sstream>

#include "loaded_module.h"

namespace vexa_test {

VexaCallRunner::VexaCallRunner(const std::vector<std::pair<std::string, std::string>>& extraFiles) {
  modulePath_ = directory_.CopyIn(BuiltModulePath(), "Vexa.so");
  for (const auto& [source, name] : extraFiles) directory_.CopyIn(source, name);
}

ProcessResult VexaCallRunner::Run(const std::vector<std::string>& arguments,
                                  const EnvironmentChanges& environment) const {
  std::vector<std::string> argv{VEXA_CALL_PATH, modulePath_.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunProcess(argv, environment);
}

std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

}  // namespace vexa_test
