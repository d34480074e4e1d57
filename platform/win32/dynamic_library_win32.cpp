#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

// A library that can't be loaded must not bring up a message box on the
// server's desktop: the loader is told to fail quietly, for this thread
// and only while it loads.
class QuietLoaderErrors {
 public:
  QuietLoaderErrors() {
    if (!SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_)) changed_ = false;
  }
  ~QuietLoaderErrors() {
    if (changed_) SetThreadErrorMode(previous_, nullptr);
  }
  QuietLoaderErrors(const QuietLoaderErrors&) = delete;
  QuietLoaderErrors& operator=(const QuietLoaderErrors&) = delete;

 private:
  DWORD previous_ = 0;
  bool changed_ = true;
};

}  // namespace

const char* const kServerUtilityLibrary = "ib_util.dll";

LibraryHandle OpenLibrary(const std::string& nameOrPath) {
  if (nameOrPath.empty()) return nullptr;
  const QuietLoaderErrors quiet;
  return LoadLibraryA(nameOrPath.c_str());
}

void* LibrarySymbol(LibraryHandle library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(LibraryHandle library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

ResultAllocFunction CLibraryMalloc(LibraryHandle& loaded) {
  // The C runtime the server frees with: the system's msvcrt.dll, not the
  // runtime linked into this module.
  loaded = OpenLibrary("msvcrt.dll");
  if (loaded == nullptr) return nullptr;
  return reinterpret_cast<ResultAllocFunction>(LibrarySymbol(loaded, "malloc"));
}

}  // namespace vexa::platform
