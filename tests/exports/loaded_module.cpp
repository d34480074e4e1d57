#include "loaded_module.h"

namespace vexa_test {

std::filesystem::path BuiltModulePath() { return VEXA_MODULE_PATH; }

LoadedModule::LoadedModule(const std::vector<ExtraFile>& extraFiles) {
  modulePath_ = directory_.CopyIn(BuiltModulePath(), BuiltModulePath().filename().string());
  for (const ExtraFile& file : extraFiles) {
    if (file.source.empty()) {
      directory_.Write(file.name, file.contents);
    } else {
      directory_.CopyIn(file.source, file.name);
    }
  }
  Load();
}

void LoadedModule::Load() {
  if (module_ == nullptr) module_ = std::make_unique<vexa_host::VexaModule>(modulePath_.string());
}

}  // namespace vexa_test
