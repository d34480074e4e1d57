// Text in Windows-1251, the code page the module works in, and in UTF-8,
// the code page of most terminals.
#pragma once

#include <optional>
#include <string>

namespace vexa_inspector {

// The Windows-1251 bytes of UTF-8 `text`. No value when the text is not
// valid UTF-8 or holds a character that Windows-1251 lacks; `error` then says
// which and where.
std::optional<std::string> Utf8ToWindows1251(const std::string& text, std::string& error);

// The UTF-8 form of Windows-1251 `bytes`. The one byte the code page leaves
// undefined (0x98) becomes U+FFFD.
std::string Windows1251ToUtf8(const std::string& bytes);

}  // namespace vexa_inspector
