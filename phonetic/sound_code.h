// The phonetic code of a word: a Soundex code (a first letter and up to five
// digits) built from the first six characters of the upper-cased word after
// its national letters are replaced by Latin ones, folded into one integer.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vexa {

// Computes codes with one pair of national and translation letters: the byte
// at position p of the national letters is read as the byte at position p of
// the translation letters (the first position where a byte occurs counts);
// both are compared and written as bytes. Read-only once made, so one coder
// serves every thread.
class TSoundCoder {
 public:
  TSoundCoder(std::string_view nationalLetters, std::string_view translationLetters);

  // The code of the NUL-terminated `text` (null counts as empty), in
  // 533328 (the code 00000) .. 12803024.
  std::int32_t Code(const char* text) const;

 private:
  // What each byte reads as after upper-casing and transliteration.
  std::array<unsigned char, 256> letterOf_{};
};

// The same for a single call.
std::int32_t SoundCode(const char* text, std::string_view nationalLetters, std::string_view translationLetters);

}  // namespace vexa
