#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

constexpr const char* kSeparators = "\\:";

}  // namespace

std::string DirectoryWithSeparator(const std::string& path) {
  const std::size_t last = path.find_last_of(kSeparators);
  if (last == std::string::npos) return std::string();
  std::string directory = path.substr(0, last + 1);
  if (directory.back() != '\\') directory += '\\';  // "C:" names a drive: "C:\"
  return directory;
}

std::string FileNamePart(const std::string& path) {
  const std::size_t last = path.find_last_of(kSeparators);
  return last == std::string::npos ? path : path.substr(last + 1);
}

bool IsExistingFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A name whose second character is a colon starts with a drive letter.
bool IsFullLibraryPath(const std::string& name) { return name.size() >= 2 && name[1] == ':'; }

}  // namespace vexa::platform
