#include "system_names.h"

namespace vexa::test {

std::string ModuleFileName(const std::string& stem) { return stem + ".so"; }

const char* const kLibrarySearchVariable = "LD_LIBRARY_PATH";

// A name is used as it stands only when it starts with a slash; backslashes
// and colons separate directories as they do on Windows.
std::vector<std::string> DirectoriesReducedToTheModuleDirectory() {
  return {"sub/", "C:\\Filters\\", "\\\\server\\share\\"};
}

}  // namespace vexa::test
