// StrSoundEX with the built-in national letters (the capital Cyrillic
// letters of Windows-1251) and their Latin translation.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "module_test.h"

namespace vexa::test {
namespace {

struct SoundCase {
  const char* name;
  std::string text;  // bytes as the server passes them
  std::int32_t code;
};

void PrintTo(const SoundCase& row, std::ostream* out) { *out << row.name; }

const SoundCase kSoundCases[] = {
    {"ROBERT", "ROBERT", 874958},
    {"Rupert", "Rupert", 874958},
    {"rupert", "rupert", 874958},
    {"Robertson", "Robertson", 874958},
    {"Lloyd", "Lloyd", 816328},
    {"Pfister", "Pfister", 855628},
    {"Tymczak", "Tymczak", 898528},
    {"Ashcraft", "Ashcraft", 705588},
    {"Strength", "Strength", 886980},
    {"BDLMRT", "BDLMRT", 7167891},
    {"OHara", "O'Hara", 849328},
    {"SS_SSS", "SS-SSS", 883328},
    {"SASASA", "SASASA", 885528},
    {"Lee", "Lee", 813328},
    {"A", "A", 703328},
    {"Empty", "", 533328},
    {"Digits", "123456", 533328},
    {"DigitDashRupert", "1-Rupert", 874328},
    {"TwoBlanksRupert", "  Rupert", 874328},
    {"Ivanov", "\xC8\xE2\xE0\xED\xEE\xE2", 784838},
    {"Gogol", "\xC3\xEE\xE3\xEE\xEB\xFC", 765748},
    {"Yuryev", "\xDE\xF0\xFC\xE5\xE2", 929538},
    {"Yozhik", "\xB8\xE6\xE8\xEA", 745528},
    {"Obyom", "\xCE\xE1\xFA\xB8\xEC", 844828},
    {"Shchukin", "\xD9\xF3\xEA\xE8\xED", 775828},
    {"IvanovInCapitals", "\xC8\xC2\xC0\xCD\xCE\xC2", 784838},
    {"LatinAfterSixCyrillic", "\xC8\xE2\xE0\xED\xEE\xE2kkkk", 784838},
    {"OtherHighBytesSkipped", "\x80\x99\xA0Lee", 813328},
};

class SoundCodeTest : public ModuleTestWithParam<SoundCase> {};

TEST_P(SoundCodeTest, Code) { EXPECT_EQ(vexa_.SoundEx(GetParam().text), GetParam().code); }

INSTANTIATE_TEST_SUITE_P(Words, SoundCodeTest, ::testing::ValuesIn(kSoundCases),
                         [](const ::testing::TestParamInfo<SoundCase>& row) { return row.param.name; });

using SoundCodeInputTest = ModuleTest;

TEST_F(SoundCodeInputTest, TextIsLeftAsItWas) {
  char text[] = "\xE8\xE2\xE0\xED\xEE\xE2 rupert";
  const std::string before = text;
  EXPECT_EQ(vexa_.SoundEx(text), 784838);
  EXPECT_EQ(std::string(text), before);
}

// Every Cyrillic letter, small or capital, stands for its Latin letter: a
// one-letter word's code is that letter followed by 0000.
struct CyrillicLetter {
  unsigned char capital;
  unsigned char small;
  char latin;
};

constexpr CyrillicLetter kCyrillicLetters[] = {
    {0xC0, 0xE0, 'A'}, {0xC1, 0xE1, 'B'}, {0xC2, 0xE2, 'V'}, {0xC3, 0xE3, 'G'}, {0xC4, 0xE4, 'D'},
    {0xC5, 0xE5, 'E'}, {0xA8, 0xB8, 'E'}, {0xC6, 0xE6, 'G'}, {0xC7, 0xE7, 'Z'}, {0xC8, 0xE8, 'I'},
    {0xC9, 0xE9, 'I'}, {0xCA, 0xEA, 'K'}, {0xCB, 0xEB, 'L'}, {0xCC, 0xEC, 'M'}, {0xCD, 0xED, 'N'},
    {0xCE, 0xEE, 'O'}, {0xCF, 0xEF, 'P'}, {0xD0, 0xF0, 'R'}, {0xD1, 0xF1, 'S'}, {0xD2, 0xF2, 'T'},
    {0xD3, 0xF3, 'U'}, {0xD4, 0xF4, 'F'}, {0xD5, 0xF5, 'H'}, {0xD6, 0xF6, 'C'}, {0xD7, 0xF7, 'H'},
    {0xD8, 0xF8, 'H'}, {0xD9, 0xF9, 'H'}, {0xDB, 0xFB, 'I'}, {0xDD, 0xFD, 'A'}, {0xDE, 0xFE, 'W'},
    {0xDF, 0xFF, 'A'}, {0xDC, 0xFC, 'X'}, {0xDA, 0xFA, 'Y'},
};

void PrintTo(const CyrillicLetter& letter, std::ostream* out) {
  *out << std::hex << static_cast<int>(letter.capital) << "/" << static_cast<int>(letter.small) << std::dec << " as "
       << letter.latin;
}

// The folded code of a letter followed by 0000.
std::int32_t CodeOfLetterAlone(char letter) { return letter * 10000 + '0' * 1000 + '0' * 100 + '0' * 10 + '0'; }

class CyrillicLetterTest : public ModuleTestWithParam<CyrillicLetter> {};

TEST_P(CyrillicLetterTest, CapitalAndSmallSoundAsTheLatinLetter) {
  const CyrillicLetter& letter = GetParam();
  const std::int32_t expected = CodeOfLetterAlone(letter.latin);
  EXPECT_EQ(vexa_.SoundEx(std::string(1, static_cast<char>(letter.capital))), expected);
  EXPECT_EQ(vexa_.SoundEx(std::string(1, static_cast<char>(letter.small))), expected);
}

INSTANTIATE_TEST_SUITE_P(Letters, CyrillicLetterTest, ::testing::ValuesIn(kCyrillicLetters),
                         [](const ::testing::TestParamInfo<CyrillicLetter>& row) {
                           static const char* const kHex = "0123456789ABCDEF";
                           std::string name = "Byte";
                           name += kHex[row.param.capital >> 4];
                           name += kHex[row.param.capital & 15];
                           return name;
                         });

}  // namespace
}  // namespace vexa::test
