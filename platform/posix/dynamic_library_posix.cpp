#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

void* MallocAsResultAlloc(long size) {
  if (size < 0) return nullptr;
  return std::malloc(static_cast<std::size_t>(size));
}

}  // namespace

const char* const kServerUtilityLibrary = "libib_util.so";

LibraryHandle OpenLibrary(const std::string& nameOrPath) {
  if (nameOrPath.empty()) return nullptr;
  // RTLD_LOCAL keeps a plug-in's symbols out of the server's namespace.
  return dlopen(nameOrPath.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* LibrarySymbol(LibraryHandle library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return dlsym(library, name);
}

void CloseLibrary(LibraryHandle library) {
  if (library != nullptr) dlclose(library);
}

ResultAllocFunction CLibraryMalloc(LibraryHandle& loaded) {
  // The C library is always mapped into the process: nothing to load.
  loaded = nullptr;
  return &MallocAsResultAlloc;
}

}  // namespace vexa::platform
