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
constexpr unsigned char kCaseDistance = kSmallA - kCapitalA;

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

void RussianToLower(const unsigned char* word, std::size_t length, unsigned char* lower) {
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char letter = word[i];
    if (letter == kCapitalYo) {
      lower[i] = kSmallYo;
    } else if (letter >= kCapitalA && letter < kSmallA) {
      lower[i] = static_cast<unsigned char>(letter + kCaseDistance);
    } else {
      lower[i] = letter;
    }
  }
}

bool SmallRussianToUpper(unsigned char* word, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (word[i] == kSmallYo) {
      word[i] = kCapitalYo;
    } else if (word[i] >= kSmallA) {
      word[i] = static_cast<unsigned char>(word[i] - kCaseDistance);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace vexa::snowball
