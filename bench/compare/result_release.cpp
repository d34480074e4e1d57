#include "bench/compare/result_release.h"

#include <dlfcn.h>

#include <cstdlib>

#include "tools/loaded_objects.h"

namespace vexa::compare {
namespace {

void FreeWithCLibrary(void* pointer) { std::free(pointer); }

}  // namespace

ResultRelease::ResultRelease(const std::string& libraryPath) : free_(&FreeWithCLibrary) {
  if (libraryPath.empty()) {
    description_ = "free (no " + std::string(kServerUtilityLibrary) + " loaded: the module allocates with malloc)";
    return;
  }
  // RTLD_NOLOAD: only a library that is already there; this takes a
  // reference to it, which the destructor gives back.
  library_ = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (library_ == nullptr) {
    description_ = "free (" + libraryPath + " is not loaded)";
    return;
  }
  void* address = dlsym(library_, "ib_util_free");
  if (address == nullptr) {
    description_ = "free (" + libraryPath + " exports no ib_util_free; its ib_util_malloc is malloc)";
    return;
  }
  // Any result of ib_util_free is ignored, as the server ignores it.
  free_ = reinterpret_cast<void (*)(void*)>(address);
  description_ = "ib_util_free of " + libraryPath;
}

ResultRelease::~ResultRelease() {
  if (library_ != nullptr) dlclose(library_);
}

std::string LoadedServerUtilityLibrary() { return vexa_host::LoadedObjectPath(kServerUtilityLibrary); }

}  // namespace vexa::compare
