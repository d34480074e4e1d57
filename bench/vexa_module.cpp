#include "bench/vexa_module.h"

namespace vexa::bench {
namespace {

void LayOut(const vexa_host::TempDirectory& directory, const ModuleLayout& layout) {
  directory.Write("Vexa.ini", layout.iniText);
  if (!layout.stopWordList.empty()) directory.Write("Vexa_skip.lst", layout.stopWordList);
  if (!layout.tokenList.empty()) directory.Write("Vexa_tkn.lst", layout.tokenList);
  for (const std::filesystem::path& library : layout.filterLibraries) {
    directory.CopyIn(library, library.filename().string());
  }
}

}  // namespace

VexaModule::VexaModule(const std::filesystem::path& builtModule, const ModuleLayout& layout) {
  loadedFile_ = directory_.CopyIn(builtModule, "Vexa.so");
  LayOut(directory_, layout);
  module_ = std::make_unique<vexa_host::VexaModule>(loadedFile_.string());
}

}  // namespace vexa::bench
