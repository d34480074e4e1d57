// Converting texts between Windows-1251 and UTF-8, in memory, with iconv.
#pragma once

#include <string>
#include <vector>

namespace vexa::compare {

// `text` in UTF-8. The one byte Windows-1251 leaves undefined (0x98) becomes
// U+FFFD, so that any byte string converts. ASCII stays as it is.
std::string Windows1251ToUtf8(const std::string& text);

// `text` in Windows-1251; throws std::runtime_error when it holds a character
// the code page lacks or is not valid UTF-8.
std::string Utf8ToWindows1251(const std::string& text);

// Each document in UTF-8 (Windows1251ToUtf8).
std::vector<std::string> DocumentsInUtf8(const std::vector<std::string>& documents);

}  // namespace vexa::compare
