#include "phonetic/sound_code.h"

#include <cstring>

#include "platform/platform.h"

namespace vexa {
namespace {

constexpr std::size_t kExaminedCharacters = 6;
constexpr std::size_t kFilledLength = 5;

// Soundex groups: the digit of each capital Latin letter.
constexpr char kLetters[] = "BFPVCGJKQSXZDTLMNRAEHIOUWY";
constexpr char kDigits[] = "11112222222233455600000000";
// Small Latin letters are not in the letter table; they can come only from
// small translation letters.
constexpr char kSmallLetterDigit = '9';

bool IsCapital(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsSmall(unsigned char c) { return c >= 'a' && c <= 'z'; }

char DigitOf(unsigned char letter) {
  if (IsSmall(letter)) return kSmallLetterDigit;
  return kDigits[std::strchr(kLetters, letter) - kLetters];
}

// Replaces a national letter by the translation letter at the position of its
// first occurrence.
unsigned char Transliterate(unsigned char c, std::string_view national, std::string_view translation) {
  const std::size_t at = national.find(static_cast<char>(c));
  if (at == std::string_view::npos || at >= translation.size()) return c;
  return static_cast<unsigned char>(translation[at]);
}

}  // namespace

std::int32_t SoundCode(const char* text, std::string_view nationalLetters, std::string_view translationLetters) {
  // Only the first six characters can count, and upper-casing and
  // transliteration work byte by byte: six bytes of working storage do.
  char word[kExaminedCharacters];
  std::size_t length = 0;
  if (text != nullptr) {
    while (length < kExaminedCharacters && text[length] != '\0') {
      word[length] = text[length];
      ++length;
    }
  }
  platform::UpperCase(word, length);

  char code[kExaminedCharacters + 1];
  std::size_t codeLength = 0;
  char previousDigit = '0';
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char c = Transliterate(static_cast<unsigned char>(word[i]), nationalLetters, translationLetters);
    if (!IsCapital(c) && !IsSmall(c)) continue;
    const char digit = DigitOf(c);
    if (codeLength == 0) {
      code[codeLength++] = static_cast<char>(c);
    } else if (digit != '0' && digit != previousDigit) {
      code[codeLength++] = digit;
    }
    previousDigit = digit;
  }
  while (codeLength < kFilledLength) code[codeLength++] = '0';

  std::int32_t value = 0;
  for (std::size_t i = 0; i < codeLength; ++i) value = value * 10 + static_cast<unsigned char>(code[i]);
  return value;
}

}  // namespace vexa
