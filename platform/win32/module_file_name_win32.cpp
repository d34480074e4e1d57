#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

// Any address inside this module names it to the loader.
HMODULE ThisModule() {
  HMODULE module = nullptr;
  const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!GetModuleHandleExA(flags, reinterpret_cast<LPCSTR>(&ThisModule), &module)) return nullptr;
  return module;
}

}  // namespace

std::string ModuleFileName() {
  const HMODULE module = ThisModule();
  if (module == nullptr) return std::string();
  // MAX_PATH + 1 bytes hold every classic path; a longer one (long-path
  // aware systems) is read whole rather than cut, which would give a wrong
  // directory.
  std::string name(MAX_PATH + 1, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(module, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return std::string();
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    if (name.size() >= 32768) return std::string();
    name.resize(name.size() * 2);
  }
}

}  // namespace vexa::platform
