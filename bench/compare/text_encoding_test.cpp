#include "bench/compare/text_encoding.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace vexa::compare {
namespace {

// "Ёжик и мир" in Windows-1251 and in UTF-8.
const std::string k1251 = "\xA8\xE6\xE8\xEA \xE8 \xEC\xE8\xF0";
const std::string kUtf8 = "Ёжик и мир";

TEST(TextEncoding, AsciiStaysAsItIs) {
  EXPECT_EQ(Windows1251ToUtf8("The R&D of TCP/IP, 42.\n"), "The R&D of TCP/IP, 42.\n");
}

TEST(TextEncoding, CyrillicBecomesTwoBytesALetter) {
  EXPECT_EQ(Windows1251ToUtf8(k1251), kUtf8);
  EXPECT_EQ(Utf8ToWindows1251(kUtf8), k1251);
}

TEST(TextEncoding, TheUndefinedByteBecomesTheReplacementCharacter) {
  EXPECT_EQ(Windows1251ToUtf8("a\x98z"), "a\xEF\xBF\xBDz");
}

TEST(TextEncoding, LongTextsConvertWhole) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += k1251 + "\n";
  const std::string converted = Windows1251ToUtf8(text);
  EXPECT_EQ(Utf8ToWindows1251(converted), text);
}

TEST(TextEncoding, ACharacterTheCodePageLacksIsAnError) {
  EXPECT_THROW(Utf8ToWindows1251("\xE6\x97\xA5"), std::runtime_error);  // a CJK character
}

TEST(TextEncoding, DocumentsConvertOneByOne) {
  EXPECT_EQ(DocumentsInUtf8({k1251, "plain", ""}), (std::vector<std::string>{kUtf8, "plain", ""}));
}

}  // namespace
}  // namespace vexa::compare
