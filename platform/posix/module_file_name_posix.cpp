#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"

namespace vexa::platform {

std::string ModuleFileName() {
  Dl_info info{};
  // Any address inside this module names it; this function's own will do.
  if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || info.dli_fname == nullptr) {
    return std::string();
  }
  std::string name = info.dli_fname;
  if (name.empty() || name.front() == '/') return name;
  // Loaded by a relative path: it was relative to the working directory at
  // load time, which is now.
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) == nullptr) return name;
  std::string absolute = cwd;
  if (absolute.back() != '/') absolute += '/';
  return absolute + name;
}

}  // namespace vexa::platform
