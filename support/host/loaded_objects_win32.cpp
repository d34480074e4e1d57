#include <windows.h>
// After windows.h, whose types it uses.
#include <psapi.h>

#include <algorithm>
#include <vector>

#include "support/host/loaded_objects.h"

namespace vexa::host {
namespace {

std::vector<HMODULE> ProcessModules() {
  std::vector<HMODULE> modules(256);
  for (;;) {
    DWORD needed = 0;
    const auto bytes = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
    if (!EnumProcessModules(GetCurrentProcess(), modules.data(), bytes, &needed)) return {};
    if (needed <= bytes) {
      modules.resize(needed / sizeof(HMODULE));
      return modules;
    }
    modules.resize(needed / sizeof(HMODULE) + 16);
  }
}

std::wstring ModulePath(HMODULE module) {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
  return std::wstring(buffer.data(), length);
}

// File names and paths on Windows are equal when they differ only in case.
bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::wstring FileNamePart(const std::wstring& path) {
  const std::size_t last = path.find_last_of(L"\\/:");
  return last == std::wstring::npos ? path : path.substr(last + 1);
}

}  // namespace

std::string LoadedObjectPath(const std::string& fileName) {
  const std::wstring wanted = std::filesystem::path(fileName).wstring();
  for (HMODULE module : ProcessModules()) {
    const std::wstring path = ModulePath(module);
    if (SameIgnoringCase(FileNamePart(path), wanted)) return std::filesystem::path(path).string();
  }
  return std::string();
}

bool IsMapped(const std::filesystem::path& file) {
  const std::wstring wanted = std::filesystem::absolute(file).wstring();
  const std::vector<HMODULE> modules = ProcessModules();
  return std::any_of(modules.begin(), modules.end(),
                     [&wanted](HMODULE module) { return SameIgnoringCase(ModulePath(module), wanted); });
}

}  // namespace vexa::host
