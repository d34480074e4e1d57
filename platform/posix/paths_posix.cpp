#include <sys/stat.h>

#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

// Windows separators are honoured too, so that names written for a Windows
// server in Vexa.ini reduce to the same file-name part here.
constexpr const char* kSeparators = "/\\:";

}  // namespace

std::string DirectoryWithSeparator(const std::string& path) {
  const std::size_t last = path.find_last_of('/');
  if (last == std::string::npos) return std::string();
  return path.substr(0, last + 1);
}

std::string FileNamePart(const std::string& path) {
  const std::size_t last = path.find_last_of(kSeparators);
  return last == std::string::npos ? path : path.substr(last + 1);
}

bool IsExistingFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool IsFullLibraryPath(const std::string& name) { return !name.empty() && name.front() == '/'; }

}  // namespace vexa::platform
