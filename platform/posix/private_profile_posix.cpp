// A reader of Windows private-profile (INI) files for POSIX, following what
// GetPrivateProfileStringA does with the same file.
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The white space the reader strips around section names, key names and
// values. It is narrower than the library's trim (config/trim.h, every byte
// 0x00..0x20), and must stay so: other control bytes reach the caller as part
// of the value, so that a MinWordLen of the byte 0x01 and then 5 reads as no
// number and the default stands.
bool IsProfileBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view TrimProfileBlanks(std::string_view text) {
  while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && EqualIgnoringCase(a.data(), b.data(), a.size());
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Calls `onKey` for each key line (name=value) of the first section named
// `section`, in file order. False when the file cannot be read or holds no
// such section.
bool ForEachKeyOfSection(const std::string& path, std::string_view section,
                         const std::function<bool(std::string_view name, std::string_view value)>& onKey) {
  std::string contents;
  if (!IsExistingFile(path) || !ReadWholeFile(path, contents)) return false;
  std::string_view text(contents.data(), std::strlen(contents.c_str()));  // a NUL ends the text
  if (text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) text.remove_prefix(kUtf8ByteOrderMark.size());

  bool inSection = false;
  bool found = false;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = TrimProfileBlanks(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

    if (!line.empty() && line.front() == '[') {
      if (found) return true;  // only the first section of a name counts
      const std::size_t close = line.find(']');
      inSection = SameName(TrimProfileBlanks(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)),
                           TrimProfileBlanks(section));
      found = inSection;
      continue;
    }
    if (!inSection || line.empty() || line.front() == ';') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;  // not a key
    if (!onKey(TrimProfileBlanks(line.substr(0, equals)), Unquoted(TrimProfileBlanks(line.substr(equals + 1))))) return true;
  }
  return found;
}

}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t maxLength) {
  std::string result = defaultValue;
  const std::string_view wanted = TrimProfileBlanks(key);
  ForEachKeyOfSection(path, section, [&](std::string_view name, std::string_view value) {
    if (!SameName(name, wanted)) return true;
    result.assign(value.substr(0, maxLength));
    return false;  // the first key of a name wins
  });
  return result;
}

std::vector<std::string> ReadProfileKeyNames(const std::string& path, const std::string& section,
                                             std::size_t bufferSize) {
  std::vector<std::string> names;
  std::size_t used = 1;  // the final zero byte
  ForEachKeyOfSection(path, section, [&](std::string_view name, std::string_view) {
    if (name.empty()) return true;
    if (used + name.size() + 1 > bufferSize) return false;
    used += name.size() + 1;
    names.emplace_back(name);
    return true;
  });
  return names;
}

}  // namespace vexa::platform
