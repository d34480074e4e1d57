// Runs the vexa tool on a module directory of its own (a private copy of the
// built module, with the files a test lays beside it), in a process of its
// own, so that a test can give it an environment of its own.
#pragma once

#include <string>
#include <vector>

#include "child_process.h"
#include "loaded_module.h"
#include "support/host/temp_directory.h"

namespace vexa::test {

class VexaRunner {
 public:
  // Copies the module, and lays the extra files beside it, in a fresh directory.
  explicit VexaRunner(const std::vector<ExtraFile>& extraFiles = {});

  // vexa COMMAND DIRECTORY ARGUMENTS..., `arguments` being COMMAND ARGUMENTS...
  ProcessResult Run(const std::vector<std::string>& arguments, const EnvironmentChanges& environment = {}) const;

  // The same with `program`, a copy of vexa placed elsewhere.
  ProcessResult RunCopy(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                        const EnvironmentChanges& environment = {}) const;

  const std::filesystem::path& Directory() const { return directory_.Path(); }

 private:
  vexa::host::TempDirectory directory_;
};

// The vexa program the build produced.
std::filesystem::path BuiltVexaPath();

// vexa split's line "crc XXXXXXXX" for a parser that holds `words`.
std::string CrcLine(const std::vector<std::string>& words);

// The lines of a program's output, without their line ends.
std::vector<std::string> Lines(const std::string& output);

}  // namespace vexa::test
