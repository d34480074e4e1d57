#include "bench/module_setup/vexa_module.h"

namespace vexa::bench {

VexaModule::VexaModule(const std::filesystem::path& builtModule, const ModuleLayout& layout)
    : loadedFile_(vexa::support::LayOutModule(directory_.Path(), {builtModule}, layout.Files()).front()),
      module_(std::make_unique<vexa::host::VexaModule>(loadedFile_.string())) {}

}  // namespace vexa::bench
