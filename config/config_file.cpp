#include "config/config_file.h"

#include "platform/platform.h"

namespace vexa {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::optional<std::int32_t> ParseConfigInteger(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  for (std::string_view mark : {"0x", "0X", "$", "x", "X"}) {
    if (text.substr(0, mark.size()) == mark) return ParseHex(text.substr(mark.size()));
  }
  return ParseDecimal(text);
}

std::string TConfigFile::GetString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const {
  return platform::ReadProfileString(path_, section, key, defaultValue, kMaxValueLength);
}

std::int32_t TConfigFile::GetInteger(const std::string& section, const std::string& key,
                                     std::int32_t defaultValue) const {
  return ParseConfigInteger(GetString(section, key, std::string())).value_or(defaultValue);
}

std::vector<std::string> TConfigFile::GetKeyNames(const std::string& section) const {
  return platform::ReadProfileKeyNames(path_, section, kKeyNamesBufferSize);
}

}  // namespace vexa
