#include "support/host/hex_text.h"

namespace vexa::host {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> DecodeHexText(const std::string& hex) {
  std::string bytes;
  int high = -1;
  for (const char c : hex) {
    if (c == ' ' && high < 0) continue;
    const int value = HexDigitValue(c);
    if (value < 0) return std::nullopt;
    if (high < 0) {
      high = value;
    } else {
      bytes.push_back(static_cast<char>(high * 16 + value));
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return bytes;
}

}  // namespace vexa::host
