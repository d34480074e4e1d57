// A private copy of the built module (Vexa.so, or Vexa.dll on Windows) in a
// temporary directory of its own, loaded the way the server loads it. The
// directory is the module's library directory, so files placed beside the
// copy are what it finds there.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "support/host/temp_directory.h"
#include "support/host/vexa_module.h"
#include "support/module_layout.h"

namespace vexa::test {

// The module file the build produced.
std::filesystem::path BuiltModulePath();

using vexa::support::ExtraFile;

class LoadedModule {
 public:
  // Copies the module and the extra files into a fresh directory and loads it.
  explicit LoadedModule(const std::vector<ExtraFile>& extraFiles = {});
  // Unloads the module before its directory is removed.
  ~LoadedModule() = default;

  // REQUIRES: IsLoaded().
  const vexa::host::VexaExports& Exports() const { return module_->Exports(); }

  bool IsLoaded() const { return module_ != nullptr; }
  void Load();
  void Unload() { module_.reset(); }

  const std::filesystem::path& Directory() const { return directory_.Path(); }
  const std::filesystem::path& ModulePath() const { return modulePath_; }

 private:
  vexa::host::TempDirectory directory_;
  std::filesystem::path modulePath_;
  std::unique_ptr<vexa::host::VexaModule> module_;
};

}  // namespace vexa::test
