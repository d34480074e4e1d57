#include "loaded_module.h"

namespace vexa::test {

std::filesystem::path BuiltModulePath() { return VEXA_MODULE_PATH; }

LoadedModule::LoadedModule(const std::vector<ExtraFile>& extraFiles)
    : modulePath_(vexa::support::LayOutModule(directory_.Path(), {BuiltModulePath()}, extraFiles).front()) {
  Load();
}

void LoadedModule::Load() {
  if (module_ == nullptr) module_ = std::make_unique<vexa::host::VexaModule>(modulePath_.string());
}

}  // namespace vexa::test
