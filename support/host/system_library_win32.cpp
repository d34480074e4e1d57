#include <windows.h>

#include <vector>

#include "support/host/system_library.h"

namespace vexa::host {
namespace {

std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  return "error " + std::to_string(code) + (message.empty() ? "" : " (" + message + ")");
}

// The server names a module by its full path; so does this host: a relative
// path, or one with forward slashes, becomes the full path it stands for.
std::string FullPath(const std::string& path) {
  const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::vector<char> buffer(needed);
  const DWORD length = GetFullPathNameA(path.c_str(), needed, buffer.data(), nullptr);
  return length == 0 || length >= needed ? path : std::string(buffer.data(), length);
}

}  // namespace

const char* const kServerUtilityLibrary = "ib_util.dll";

void* OpenLibraryFile(const std::string& path, std::string& error) {
  HMODULE library = LoadLibraryA(FullPath(path).c_str());
  if (library == nullptr) error = SystemMessage(GetLastError());
  return library;
}

void* OpenLibraryByName(const std::string& name) { return LoadLibraryA(name.c_str()); }

void* OpenLoadedLibrary(const std::string& fileName) {
  HMODULE library = nullptr;
  if (!GetModuleHandleExA(0, fileName.c_str(), &library)) return nullptr;
  return library;
}

void* LibraryExport(void* library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace vexa::host
