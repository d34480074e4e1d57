// Names that differ between the systems the tests run on: module files,
// the loader's search variable, and the path forms a Vexa.ini filter name
// may take.
#pragma once

#include <string>
#include <vector>

namespace vexa::test {

// The file name of a module (a filter library) built from `stem`:
// "stem.so", or "stem.dll" on Windows.
std::string ModuleFileName(const std::string& stem);

// The environment variable by which a process's loader finds libraries
// named without a directory; the loader reads it when the process starts.
extern const char* const kLibrarySearchVariable;

// Directory parts that the module drops from a filter name in Vexa.ini,
// looking for the file name in its own directory instead, each ending in
// its separator: a subdirectory, a network share, and on POSIX a drive.
std::vector<std::string> DirectoriesReducedToTheModuleDirectory();

}  // namespace vexa::test
