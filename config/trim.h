#pragma once

#include <string_view>

namespace vexa {

// The text without the bytes 0x00..0x20 at either end; bytes inside stay.
inline std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

}  // namespace vexa
