#include "vexa_runner.h"

#include <cstdio>
#include <sstream>

#include "word_records.h"

namespace vexa::test {

VexaRunner::VexaRunner(const std::vector<ExtraFile>& extraFiles) {
  vexa::support::LayOutModule(directory_.Path(), {BuiltModulePath()}, extraFiles);
}

std::filesystem::path BuiltVexaPath() { return VEXA_TOOL_PATH; }

ProcessResult VexaRunner::Run(const std::vector<std::string>& arguments, const EnvironmentChanges& environment) const {
  return RunCopy(BuiltVexaPath(), arguments, environment);
}

ProcessResult VexaRunner::RunCopy(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                  const EnvironmentChanges& environment) const {
  std::vector<std::string> argv{program.string()};
  if (!arguments.empty()) argv.push_back(arguments.front());
  argv.push_back(directory_.Path().string());
  if (!arguments.empty()) argv.insert(argv.end(), arguments.begin() + 1, arguments.end());
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

}  // namespace vexa::test
