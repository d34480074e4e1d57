// What the dynamic loader has mapped into this process.
#pragma once

#include <string>

namespace vexa_host {

// Full path of a loaded object whose file name is `fileName` (for example
// "libib_util.so"), or the empty string when none is loaded.
std::string LoadedObjectPath(const std::string& fileName);

}  // namespace vexa_host
