// Text given as hexadecimal byte values, so that bytes of any code page can
// be typed on a terminal of another (e.g. Windows-1251 Cyrillic on UTF-8).
#pragma once

#include <optional>
#include <string>

namespace vexa::host {

// "C8E2e0" -> the bytes C8 E2 E0. Spaces between pairs are allowed. No
// value when the text is not whole pairs of hex digits.
std::optional<std::string> DecodeHexText(const std::string& hex);

}  // namespace vexa::host
