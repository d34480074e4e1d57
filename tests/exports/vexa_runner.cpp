#include "vexa_call_runner.h"

#include <cstdio>
#include <sstream>

#include "loaded_module.h"
#include "word_records.h"

namespace vexa_test {

VexaCallRunner::VexaCallRunner(const std::vector<std::pair<std::string, std::string>>& extraFiles) {
  modulePath_ = directory_.CopyIn(BuiltModulePath(), BuiltModulePath().filename().string());
  for (const auto& [source, name] : extraFiles) directory_.CopyIn(source, name);
}

std::filesystem::path BuiltVexaCallPath() { return VEXA_CALL_PATH; }

ProcessResult VexaCallRunner::Run(const std::vector<std::string>& arguments,
                                  const EnvironmentChanges& environment) const {
  return RunCopy(BuiltVexaCallPath(), arguments, environment);
}

ProcessResult VexaCallRunner::RunCopy(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                      const EnvironmentChanges& environment) const {
  std::vector<std::string> argv{program.string(), modulePath_.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunProcess(argv, environment);
}

std::string CrcLine(const std::vector<std::string>& words) {
  char line[32];
  std::snprintf(line, sizeof line, "crc %08X", static_cast<unsigned>(StreamCrcOf(words)));
  return line;
}

std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

}  // namespace vexa_test
