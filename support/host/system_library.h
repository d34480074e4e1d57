// The system's dynamic loader as a host uses it: load a library by path or
// by bare name, look up an export, release it again. dlopen on POSIX,
// LoadLibraryA on Windows.
#pragma once

#include <string>

namespace vexa::host {

// File name of the database server's utility library that exports
// ib_util_malloc: libib_util.so, or ib_util.dll on Windows.
extern const char* const kServerUtilityLibrary;

// Loads the library file at `path` the way the server loads a module (on
// POSIX with RTLD_NOW | RTLD_LOCAL; on Windows by its full path). A bare
// file name means the file in the working directory, not a search. Null,
// with the loader's message in `error`, when it does not load.
void* OpenLibraryFile(const std::string& path, std::string& error);

// Loads a library by its bare name through the system's search, as the
// module looks for the server's utility library. Null when none is found.
void* OpenLibraryByName(const std::string& name);

// A library of that file name that is already loaded in this process, with
// a reference of its own (release it with CloseLibrary); never loads one.
// Null when none is loaded.
void* OpenLoadedLibrary(const std::string& fileName);

// The address of the export `name`, or null when there is none.
void* LibraryExport(void* library, const char* name);

// Releases a reference returned by the functions above. Null is ignored.
void CloseLibrary(void* library);

}  // namespace vexa::host
