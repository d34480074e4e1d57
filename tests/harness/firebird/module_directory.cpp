#include "module_directory.h"

#include <vector>

namespace vexa::firebird {
namespace {

std::vector<std::filesystem::path> BuiltModules() {
#ifdef VEXA_UDR_MODULE_PATH
  return {BuiltModulePath(), VEXA_UDR_MODULE_PATH};
#else
  return {BuiltModulePath()};
#endif
}

}  // namespace

std::filesystem::path BuiltModulePath() { return VEXA_MODULE_PATH; }

ModuleDirectory::ModuleDirectory(const ModuleConfiguration& configuration)
    : modulePath_(vexa::support::LayOutModule(directory_.Path(), BuiltModules(), configuration).front()) {}

}  // namespace vexa::firebird
