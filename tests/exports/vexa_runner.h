// Runs tools/vexa_call on a private copy of the built module, in a process
// of its own, so that a test can give it an environment of its own.
#pragma once

#include <string>
#include <vector>

#include "child_process.h"
#include "tools/temp_directory.h"

namespace vexa_test {

class VexaCallRunner {
 public:
  // Copies the module, and the extra files beside it, into a fresh directory.
  explicit VexaCallRunner(const std::vector<std::pair<std::string, std::string>>& extraFiles = {});

  // vexa_call MODULE ARGUMENTS...
  ProcessResult Run(const std::vector<std::string>& arguments, const EnvironmentChanges& environment = {}) const;

  // The same with `program`, a copy of vexa_call placed elsewhere.
  ProcessResult RunCopy(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                        const EnvironmentChanges& environment = {}) const;

  const std::filesystem::path& ModulePath() const { return modulePath_; }

 private:
  vexa_host::TempDirectory directory_;
  std::filesystem::path modulePath_;
};

// The vexa_call program the build produced.
std::filesystem::path BuiltVexaCallPath();

// vexa_call's line "crc XXXXXXXX" for a parser that holds `words`.
std::string CrcLine(const std::vector<std::string>& words);

// The lines of a program's output, without their line ends.
std::vector<std::string> Lines(const std::string& output);

}  // namespace vexa_test
