#include "tools/vexa_module.h"

#include <dlfcn.h>

#include <stdexcept>

namespace vexa_host {
namespace {

std::string LoaderMessage() {
  const char* message = dlerror();
  return message != nullptr ? message : "unknown loader error";
}

// dlopen searches the library path for a name without a slash; the host
// means a file, so a bare name is taken relative to the working directory.
std::string AsFilePath(const std::string& path) {
  return path.find('/') == std::string::npos ? "./" + path : path;
}

template <typename Function>
void Resolve(void* library, const char* name, Function& entry) {
  void* address = dlsym(library, name);
  if (address == nullptr) throw std::runtime_error(std::string("export ") + name + " not found: " + LoaderMessage());
  entry = reinterpret_cast<Function>(address);
}

}  // namespace

VexaModule::VexaModule(const std::string& path) : path_(AsFilePath(path)) {
  library_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) throw std::runtime_error("cannot load " + path_ + ": " + LoaderMessage());
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
    dlclose(library_);
    throw;
  }
}

VexaModule::~VexaModule() { dlclose(library_); }

}  // namespace vexa_host
