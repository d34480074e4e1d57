// Private-profile (INI) files read by the Win32 profile functions themselves.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

// GetPrivateProfileStringA takes an int-sized buffer; beyond this a value
// or a list of names is read in part.
constexpr std::size_t kLargestBuffer = 1u << 30;

DWORD BufferSize(std::size_t bytes) {
  return static_cast<DWORD>(bytes > kLargestBuffer ? kLargestBuffer : bytes);
}

// The key names of a section as GetPrivateProfileStringA lists them, each
// followed by a zero byte, read into a buffer that grows until the list fits
// whole (the function cuts a list that does not fit without saying where).
std::string AllKeyNames(const std::string& path, const std::string& section) {
  std::string buffer(4096, '\0');
  for (;;) {
    const DWORD size = BufferSize(buffer.size());
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), size, path.c_str());
    if (length + 2 < size || size == kLargestBuffer) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(buffer.size() * 2, '\0');
  }
}

}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t maxLength) {
  if (!IsExistingFile(path)) return defaultValue;
  std::string value(maxLength + 1, '\0');
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), value.data(),
                                                BufferSize(value.size()), path.c_str());
  value.resize(length < value.size() ? length : value.size() - 1);
  return value;
}

std::vector<std::string> ReadProfileKeyNames(const std::string& path, const std::string& section,
                                             std::size_t bufferSize) {
  std::vector<std::string> names;
  if (!IsExistingFile(path)) return names;
  const std::string all = AllKeyNames(path, section);
  // Whole names only: a name cut by the buffer would name another file.
  std::size_t used = 1;  // the final zero byte
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    if (end == start) break;  // an empty name ends the list
    const std::size_t length = end - start;
    if (used + length + 1 > bufferSize) break;
    names.emplace_back(all, start, length);
    used += length + 1;
    start = end + 1;
  }
  return names;
}

}  // namespace vexa::platform
