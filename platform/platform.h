// The whole contract between Vexa and the operating system.
//
// Everything the library needs from the system goes through the functions and
// classes declared here. platform/posix/ implements them with POSIX and
// glibc; platform/win32/ implements them with Win32. Nothing outside
// platform/ includes a system header of its own or tests which system it is
// built for.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/mutex.h"

namespace vexa::platform {

// ---------------------------------------------------------------------------
// Module life
//
// The platform calls these two when the module is mapped into the process and
// when it is about to be unmapped (process attach and detach on Windows, the
// module's constructor and destructor on POSIX). The library defines them.
// REQUIRES: neither lets an exception escape; both run while no export runs.
void OnModuleLoad() noexcept;
void OnModuleUnload() noexcept;

// Full file name of this module itself (not of the executable that loaded it),
// or the empty string when the system cannot tell.
std::string ModuleFileName();

// ---------------------------------------------------------------------------
// Paths

// The directory part of a path: up to and including its last directory
// separator. A path without a separator gives the empty string, which callers
// take as "directory unknown".
std::string DirectoryWithSeparator(const std::string& path);

// The file-name part of a path: what follows its last separator (on Windows
// a backslash or a colon; on POSIX also a slash), the whole path when there is
// none.
std::string FileNamePart(const std::string& path);

// True when the path is a regular file (a directory of that name is not).
bool IsExistingFile(const std::string& path);

// True when a library name in Vexa.ini is to be used as it stands (a name
// with a drive letter on Windows, a name starting with a slash on POSIX);
// every other name is looked for in the library directory.
bool IsFullLibraryPath(const std::string& name);

// Reads a whole file into `contents`, which is emptied first. False when the
// file cannot be opened or read. While it is read, others may read the file
// but not write it, where the system can say so.
bool ReadWholeFile(const std::string& path, std::string& contents);

// ---------------------------------------------------------------------------
// Private-profile (INI) files, read as the Windows profile functions read
// them: section and key names compared without regard to case, blanks around
// names and values ignored, the first of repeated sections and keys wins, a
// value in matching quotes loses them, lines starting with ';' are comments.
// Each call reads the file anew.

// The value of `key` in `section`, at most `maxLength` bytes of it, or
// `defaultValue` when the file, the section or the key is absent.
std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t maxLength);

// The key names of `section` in file order, as many whole names as fit, each
// with a terminating zero byte, in a buffer of `bufferSize` bytes that also
// holds a final zero byte. A name that would not fit whole ends the list.
std::vector<std::string> ReadProfileKeyNames(const std::string& path, const std::string& section,
                                             std::size_t bufferSize);

// ---------------------------------------------------------------------------
// Dynamic libraries

using LibraryHandle = void*;

// Loads a library by a bare name (the system's search) or by a path.
// Returns null when it cannot be loaded.
LibraryHandle OpenLibrary(const std::string& nameOrPath);

// The address of the export `name`, or null when the library has none.
void* LibrarySymbol(LibraryHandle library, const char* name);

// Releases a library returned by OpenLibrary. A null handle is ignored.
void CloseLibrary(LibraryHandle library);

// The entry of a word-filter plug-in: `void ProcessWord(char *word)`, in the
// calling convention plug-ins of this platform are built with (stdcall on
// 32-bit Windows, where the callee removes its argument).
#if defined(_WIN32)
using ProcessWordFunction = void(__stdcall*)(char* word);
#else
using ProcessWordFunction = void (*)(char* word);
#endif

// Calls a filter's entry with the word buffer. False when the call ended in
// a processor fault (a bad pointer, a division by zero, a stack overflow)
// that the platform caught; the caller drops the word, and the thread goes
// on as before the call. Windows catches such faults per thread; on POSIX
// they are signals, which belong to the server, and the call is a plain one.
// A C++ exception thrown by the filter passes through.
bool CallFilter(ProcessWordFunction processWord, char* word);

// ---------------------------------------------------------------------------
// Result allocator
//
// The database server frees string results itself, so they must come from the
// allocator it frees with: ib_util_malloc of its utility library, else the C
// library's malloc.

// Signature of ib_util_malloc: a size in bytes in the server's `long`.
using ResultAllocFunction = void* (*)(long size);

// Bare name of the server's utility library that exports ib_util_malloc.
extern const char* const kServerUtilityLibrary;

// The C library's malloc as a ResultAllocFunction. Stores in `loaded` the
// library that had to be loaded to find it (null when none had to be).
ResultAllocFunction CLibraryMalloc(LibraryHandle& loaded);

// ---------------------------------------------------------------------------
// Text under the server's ANSI code page (Windows-1251 on POSIX)

// Upper-cases `count` bytes in place. The length never changes; bytes
// without a capital form in the code page stay as they are.
void UpperCase(char* text, std::size_t count);

// The same upper-casing as a table: entry b is the capital of byte b. The
// code page maps byte by byte, so hot loops may copy and upper-case in one
// pass with it. Valid from module load to unload.
const unsigned char* UpperCaseTable();

// True when the `count` bytes at `a` and at `b` are equal when case is
// ignored under the code page. Equal bytes have equal capitals in
// UpperCaseTable, one by one: callers may rule out a match by one byte.
bool EqualIgnoringCase(const char* a, const char* b, std::size_t count);

}  // namespace vexa::platform
