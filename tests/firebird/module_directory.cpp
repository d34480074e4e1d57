#include "module_directory.h"

namespace vexa_firebird {

std::filesystem::path BuiltModulePath() { return VEXA_MODULE_PATH; }

ModuleDirectory::ModuleDirectory(const ModuleConfiguration& configuration) {
  directory_.CopyIn(BuiltModulePath(), "Vexa.so");
#ifdef VEXA_UDR_MODULE_PATH
  directory_.CopyIn(VEXA_UDR_MODULE_PATH, "libvexa_udr.so");
#endif
  for (const ModuleFile& file : configuration) directory_.Write(file.name, file.contents);
}

}  // namespace vexa_firebird
