// What the dynamic loader has mapped into this process.
#pragma once

#include <filesystem>
#include <string>

namespace vexa::host {

// Full path of a loaded object whose file name is `fileName` (for example
// "libib_util.so", or "ib_util.dll" on Windows, where file names are compared
// without regard to case), or the empty string when none is loaded.
std::string LoadedObjectPath(const std::string& fileName);

// True while the file at `file` is mapped into this process as a loaded
// object: after its last release it is not (on POSIX /proc/self/maps says
// so, on Windows the process's list of modules).
bool IsMapped(const std::filesystem::path& file);

}  // namespace vexa::host
