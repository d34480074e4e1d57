#include "system_names.h"

namespace vexa::test {

std::string ModuleFileName(const std::string& stem) { return stem + ".dll"; }

// The last place of the system's search for a DLL named without a directory.
const char* const kLibrarySearchVariable = "PATH";

// A name with a drive letter is used as it stands; any other directory part
// goes, also one that names a drive's root or the directory above.
std::vector<std::string> DirectoriesReducedToTheModuleDirectory() {
  return {"sub\\", "\\\\server\\share\\", "\\Filters\\", "..\\"};
}

}  // namespace vexa::test
