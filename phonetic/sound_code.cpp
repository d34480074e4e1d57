#include "phonetic/sound_code.h"

#include "platform/platform.h"

namespace vexa {
namespace {

constexpr std::size_t kExaminedCharacters = 6;
constexpr std::size_t kFilledLength = 5;

// Soundex groups: the digit of each capital Latin letter. Small Latin
// letters, which can come only from small translation letters, get 9; every
// other byte is no letter and is skipped (0 here).
constexpr char kLetters[] = "BFPVCGJKQSXZDTLMNRAEHIOUWY";
constexpr char kDigits[] = "11112222222233455600000000";
constexpr char kSmallLetterDigit = '9';

constexpr std::array<char, 256> MakeDigitTable() {
  std::array<char, 256> table{};
  for (std::size_t i = 0; i < 26; ++i) table[static_cast<unsigned char>(kLetters[i])] = kDigits[i];
  for (std::size_t c = 'a'; c <= 'z'; ++c) table[c] = kSmallLetterDigit;
  return table;
}

constexpr std::array<char, 256> kDigitOf = MakeDigitTable();

}  // namespace

TSoundCoder::TSoundCoder(std::string_view nationalLetters, std::string_view translationLetters) {
  const unsigned char* upper = platform::UpperCaseTable();
  for (std::size_t b = 0; b < 256; ++b) letterOf_[b] = upper[b];
  // Each byte upper-casing leaves is looked up once among the national
  // letters; the translation letter written is not looked up again.
  std::array<bool, 256> translated{};
  const std::size_t pairs = nationalLetters.size() < translationLetters.size() ? nationalLetters.size()
                                                                               : translationLetters.size();
  std::array<unsigned char, 256> translationOf{};
  for (std::size_t p = 0; p < pairs; ++p) {
    const auto national = static_cast<unsigned char>(nationalLetters[p]);
    if (translated[national]) continue;  // the first occurrence counts
    translated[national] = true;
    translationOf[national] = static_cast<unsigned char>(translationLetters[p]);
  }
  for (std::size_t b = 0; b < 256; ++b) {
    if (translated[letterOf_[b]]) letterOf_[b] = translationOf[letterOf_[b]];
  }
}

std::int32_t TSoundCoder::Code(const char* text) const {
  char code[kExaminedCharacters + 1];
  std::size_t codeLength = 0;
  char previousDigit = '0';
  // Only the first six characters are examined, to the end of a shorter text.
  for (std::size_t i = 0; text != nullptr && i < kExaminedCharacters && text[i] != '\0'; ++i) {
    const unsigned char c = letterOf_[static_cast<unsigned char>(text[i])];
    const char digit = kDigitOf[c];
    if (digit == 0) continue;  // not a Latin letter: adds nothing, changes nothing
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

std::int32_t SoundCode(const char* text, std::string_view nationalLetters, std::string_view translationLetters) {
  return TSoundCoder(nationalLetters, translationLetters).Code(text);
}

}  // namespace vexa
