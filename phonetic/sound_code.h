// The phonetic code of a word: a Soundex code (a first letter and up to five
// digits) built from the first six characters of the upper-cased word after
// its national letters are replaced by Latin ones, folded into one integer.
#pragma once

#include <cstdint>
#include <string_view>

namespace vexa {

// The code of the NUL-terminated `text` (null counts as empty). The byte at
// position p of `nationalLetters` is read as the byte at position p of
// `translationLetters`; both are compared and written as bytes.
// The result lies in 533328 (the code 00000) .. 12803024.
std::int32_t SoundCode(const char* text, std::string_view nationalLetters, std::string_view translationLetters);

}  // namespace vexa
