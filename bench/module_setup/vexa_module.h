// Vexa.so loaded as the database server loads it: a copy of the built module
// in a directory of its own, with its Vexa.ini, word lists and filter plug-ins
// beside it (module_layout.h), opened with dlopen and
// used only through the entry points that dlsym finds, typed as the server's
// declarations (frame/exports.h) type them. Nothing of the module is linked in.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "bench/module_setup/module_layout.h"
#include "support/host/temp_directory.h"
#include "support/host/vexa_module.h"

namespace vexa::bench {

using vexa::host::VexaExports;

class VexaModule {
 public:
  // Copies `builtModule` into a fresh directory under its own file name,
  // lays out `layout` beside it, loads the copy (which reads its
  // configuration then) and resolves the exports. Throws std::runtime_error
  // when any step fails.
  VexaModule(const std::filesystem::path& builtModule, const ModuleLayout& layout);

  const VexaExports& Exports() const { return module_->Exports(); }
  const std::filesystem::path& LoadedFile() const { return loadedFile_; }
  const std::filesystem::path& Directory() const { return directory_.Path(); }

 private:
  // Declared first so that it goes last, after the module is closed.
  vexa::host::TempDirectory directory_;
  std::filesystem::path loadedFile_;
  std::unique_ptr<vexa::host::VexaModule> module_;
};

}  // namespace vexa::bench
