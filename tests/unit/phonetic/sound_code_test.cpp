#include "phonetic/sound_code.h"

#include <gtest/gtest.h>

#include <string>

#include "config/engine_settings.h"

namespace vexa {
namespace {

struct CodeCase {
  const char* text;
  std::int32_t expected;
};

// Letters other than the built-in ones: what a Vexa.ini may set.
TEST(SoundCode, TranslationLettersAreBytesAndSmallOnesGiveNine) {
  const std::string national = "\xC1\xC6";  // Б Ж
  const std::string translation = "Bj";
  const CodeCase cases[] = {
      {"\xC1\xC6\xC6\xC1\xC6\xC1", 722519},  // BjjBjB: B9191
      {"\xC6\xC1", 1114328},                 // jB: j1000
      {"\xE1\xE6", 722328},                  // small б ж are upper-cased first: Bj -> B9000
      {"\xC8\xE2\xE0\xED", 533328},          // И is not among these national letters
  };
  for (const CodeCase& c : cases) EXPECT_EQ(SoundCode(c.text, national, translation), c.expected) << c.text;
}

TEST(SoundCode, EmptyNationalLettersMapNothing) {
  EXPECT_EQ(SoundCode("\xC8\xE2\xE0\xED\xEE\xE2", "", ""), 533328);
  EXPECT_EQ(SoundCode("Robert", "", ""), 874958);
}

TEST(SoundCode, ANationalLetterListedTwiceUsesItsFirstTranslation) {
  EXPECT_EQ(SoundCode("\xC1", "\xC1\xC1", "PB"), SoundCode("P", "", ""));
}

TEST(SoundCode, ASmallNationalLetterNeverMatches) {
  // The text is upper-cased before the lookup, so a small letter listed as
  // national is never found.
  EXPECT_EQ(SoundCode("\xE1", "\xE1", "B"), 533328);
}

TEST(SoundCode, StaysWithinItsRangeForEveryFirstByte) {
  for (int first = 1; first < 256; ++first) {
    const char text[] = {static_cast<char>(first), 'b', 'c', 'd', 'l', 'm', '\0'};
    const std::int32_t code = SoundCode(text, kBuiltInNationalLetters, kBuiltInTranslationLetters);
    EXPECT_GE(code, 533328) << first;
    EXPECT_LE(code, 9598984) << first;
  }
  // The highest code of all needs small translation letters: z69696.
  EXPECT_EQ(SoundCode("\xC1\xC7\xC6\xC7\xC6\xC7", "\xC1\xC6\xC7", "zyR"), 12803024);
}

}  // namespace
}  // namespace vexa
