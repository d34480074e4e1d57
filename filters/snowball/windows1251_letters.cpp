#include "windows1251_letters.h"

#include <array>
#include <cstdint>

namespace vexa::snowball {
namespace {

// Windows-1251: А..Я are 0xC0..0xDF, а..я 0xE0..0xFF, Ё 0xA8, ё 0xB8.
constexpr unsigned char kCapitalA = 0xC0;
constexpr unsigned char kSmallA = 0xE0;
constexpr unsigned char kCapitalYo = 0xA8;
constexpr unsigned char kSmallYo = 0xB8;

// Unicode: а..я are U+0430..U+044F, ё U+0451.
constexpr std::uint32_t kUnicodeSmallA = 0x430;
constexpr std::uint32_t kUnicodeSmallYo = 0x451;

enum : std::uint8_t { kNotALetter = 0, kLatinLetter = 1, kRussianLetter = 2 };

constexpr std::array<std::uint8_t, 256> MakeLetterTable() {
  std::array<std::uint8_t, 256> table{};
  for (unsigned b = 'A'; b <= 'Z'; ++b) table[b] = kLatinLetter;
  for (unsigned b = 'a'; b <= 'z'; ++b) table[b] = kLatinLetter;
  for (unsigned b = kCapitalA; b <= 0xFF; ++b) table[b] = kRussianLetter;
  table[kCapitalYo] = kRussianLetter;
  table[kSmallYo] = kRussianLetter;
  return table;
}

constexpr std::array<std::uint8_t, 256> kLetters = MakeLetterTable();

// The Unicode small letter of a Russian letter of Windows-1251.
std::uint32_t SmallLetterCode(unsigned char letter) {
  if (letter == kCapitalYo || letter == kSmallYo) return kUnicodeSmallYo;
  const unsigned offset = letter >= kSmallA ? letter - kSmallA : letter - kCapitalA;
  return kUnicodeSmallA + offset;
}

}  // namespace

WordScript ScriptOf(const unsigned char* word, std::size_t length) {
  if (length == 0) return WordScript::kOther;
  std::uint8_t seen = 0;
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint8_t kind = kLetters[word[i]];
    if (kind == kNotALetter) return WordScript::kOther;
    seen = static_cast<std::uint8_t>(seen | kind);
  }
  if (seen == kLatinLetter) return WordScript::kLatin;
  if (seen == kRussianLetter) return WordScript::kRussian;
  return WordScript::kOther;
}

void RussianToLowerUtf8(const unsigned char* word, std::size_t length, unsigned char* utf8) {
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint32_t code = SmallLetterCode(word[i]);  // U+0430..U+0451: two bytes
    *utf8++ = static_cast<unsigned char>(0xC0 | (code >> 6));
    *utf8++ = static_cast<unsigned char>(0x80 | (code & 0x3F));
  }
}

std::size_t Utf8ToUpperRussian(const unsigned char* utf8, std::size_t utf8Length, unsigned char* word) {
  if (utf8Length % 2 != 0) return 0;
  std::size_t count = 0;
  for (std::size_t i = 0; i < utf8Length; i += 2) {
    const unsigned lead = utf8[i];
    const unsigned trail = utf8[i + 1];
    if ((lead & 0xE0) != 0xC0 || (trail & 0xC0) != 0x80) return 0;
    const std::uint32_t code = ((lead & 0x1Fu) << 6) | (trail & 0x3Fu);
    if (code == kUnicodeSmallYo) {
      word[count++] = kCapitalYo;
    } else if (code >= kUnicodeSmallA && code < kUnicodeSmallA + 32) {
      word[count++] = static_cast<unsigned char>(kCapitalA + (code - kUnicodeSmallA));
    } else {
      return 0;
    }
  }
  return count;
}

}  // namespace vexa::snowball
