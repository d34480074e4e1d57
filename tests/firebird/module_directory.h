// A directory of its own holding a copy of the built Vexa.so (and of the
// UDR module libvexa_udr.so, where it is built) and the configuration files
// beside them (Vexa.ini, Vexa_skip.lst, Vexa_tkn.lst), as a server's
// administrator lays the modules out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/temp_directory.h"

namespace vexa_firebird {

struct ModuleFile {
  std::string name;      // the file's name beside the module
  std::string contents;  // bytes as written (Windows-1251 for Cyrillic)
};
using ModuleConfiguration = std::vector<ModuleFile>;

// The module file the build produced.
std::filesystem::path BuiltModulePath();

class ModuleDirectory {
 public:
  explicit ModuleDirectory(const ModuleConfiguration& configuration);

  const std::filesystem::path& Path() const { return directory_.Path(); }
  std::filesystem::path ModulePath() const { return directory_.Path() / "Vexa.so"; }

 private:
  vexa_host::TempDirectory directory_;
};

}  // namespace vexa_firebird
