#include <dlfcn.h>

#include "support/host/system_library.h"

namespace vexa::host {
namespace {

// dlopen searches the library path for a name without a slash; a file is
// meant, so a bare name is taken relative to the working directory.
std::string AsFilePath(const std::string& path) {
  return path.find('/') == std::string::npos ? "./" + path : path;
}

}  // namespace

const char* const kServerUtilityLibrary = "libib_util.so";

void* OpenLibraryFile(const std::string& path, std::string& error) {
  void* library = dlopen(AsFilePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* message = dlerror();
    error = message != nullptr ? message : "unknown loader error";
  }
  return library;
}

void* OpenLibraryByName(const std::string& name) { return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL); }

void* OpenLoadedLibrary(const std::string& fileName) { return dlopen(fileName.c_str(), RTLD_NOW | RTLD_NOLOAD); }

void* LibraryExport(void* library, const char* name) { return library == nullptr ? nullptr : dlsym(library, name); }

void CloseLibrary(void* library) {
  if (library != nullptr) dlclose(library);
}

}  // namespace vexa::host
