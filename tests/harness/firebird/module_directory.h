// A directory of its own holding a copy of the built Vexa.so (and of the
// UDR module libvexa_udr.so, where it is built) and the configuration files
// beside them (Vexa.ini, Vexa_skip.lst, Vexa_tkn.lst), as a server's
// administrator lays the modules out.
#pragma once

#include <filesystem>

#include "support/host/temp_directory.h"
#include "support/module_layout.h"

namespace vexa::firebird {

using vexa::support::ExtraFile;
using ModuleConfiguration = vexa::support::ExtraFiles;

// The module file the build produced.
std::filesystem::path BuiltModulePath();

class ModuleDirectory {
 public:
  explicit ModuleDirectory(const ModuleConfiguration& configuration);

  const std::filesystem::path& Path() const { return directory_.Path(); }
  const std::filesystem::path& ModulePath() const { return modulePath_; }

 private:
  vexa::host::TempDirectory directory_;
  std::filesystem::path modulePath_;
};

}  // namespace vexa::firebird
