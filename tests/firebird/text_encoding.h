// Conversion between Windows-1251, in which the tests write Cyrillic text and
// the module works, and UTF-8, in which a client may talk to the server.
#pragma once

#include <string>

namespace vexa_firebird {

// Throw std::runtime_error for bytes that do not convert.
std::string Win1251ToUtf8(const std::string& text);
std::string Utf8ToWin1251(const std::string& text);

}  // namespace vexa_firebird
