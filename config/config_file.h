// TConfigFile: reads values from Vexa.ini. It holds the path and nothing
// else: each read consults the file anew and no file stays open between reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class TConfigFile {
 public:
  static constexpr std::size_t kMaxValueLength = 2047;
  static constexpr std::size_t kKeyNamesBufferSize = 16384;

  explicit TConfigFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // The value of the key, at most 2047 bytes of it, or `defaultValue` when the
  // file, the section or the key is absent.
  std::string GetString(const std::string& section, const std::string& key, const std::string& defaultValue) const;

  // The value read as an integer (ParseConfigInteger), or `defaultValue` when
  // it is empty or not valid.
  std::int32_t GetInteger(const std::string& section, const std::string& key, std::int32_t defaultValue) const;

  // The key names of the section in file order; empty when it is absent. Only
  // names that fit whole in a 16 KiB buffer are given.
  std::vector<std::string> GetKeyNames(const std::string& section) const;

 private:
  std::string path_;
};

// The integer a configuration value spells, the whole text matching:
// leading spaces (0x20 only), then either an optional sign and decimal
// digits within -2147483648..2147483647, or a hexadecimal mark ($, x, X, 0x,
// 0X) and hexadecimal digits fitting 32 bits, taken as signed. Nothing may
// follow. Empty when the text is not valid.
std::optional<std::int32_t> ParseConfigInteger(std::string_view text);

}  // namespace vexa
