#include "support/host/vexa_module.h"

#include <stdexcept>

#include "support/host/system_library.h"

namespace vexa::host {
namespace {

template <typename Function>
void Resolve(void* library, const char* name, Function& entry) {
  void* address = LibraryExport(library, name);
  if (address == nullptr) throw std::runtime_error(std::string("export ") + name + " not found");
  entry = reinterpret_cast<Function>(address);
}

}  // namespace

VexaModule::VexaModule(const std::string& path) : path_(path) {
  std::string error;
  library_ = OpenLibraryFile(path_, error);
  if (library_ == nullptr) throw std::runtime_error("cannot load " + path_ + ": " + error);
  try {
    Resolve(library_, "Parser_Create", exports_.Parser_Create);
    Resolve(library_, "Parser_CreateQuery", exports_.Parser_CreateQuery);
    Resolve(library_, "Parser_Free", exports_.Parser_Free);
    Resolve(library_, "Parser_Add", exports_.Parser_Add);
    Resolve(library_, "Parser_AddBlob", exports_.Parser_AddBlob);
    Resolve(library_, "Parser_CRC", exports_.Parser_CRC);
    Resolve(library_, "Parser_Reset", exports_.Parser_Reset);
    Resolve(library_, "Parser_Next", exports_.Parser_Next);
    Resolve(library_, "StrSoundEX", exports_.StrSoundEX);
  } catch (...) {
    CloseLibrary(library_);
    throw;
  }
}

VexaModule::~VexaModule() { CloseLibrary(library_); }

}  // namespace vexa::host
