#include "support/windows1251_utf8.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace vexa::support {
namespace {

TEST(Windows1251Utf8, EveryDefinedByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    if (b == 0x98) continue;
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = Windows1251ToUtf8(byte);
    EXPECT_LE(utf8.size(), kMaxUtf8BytesPerByte) << b;
    EXPECT_EQ(Utf8ToWindows1251(utf8), byte) << "byte " << b;
    all += byte;
  }
  EXPECT_EQ(Utf8ToWindows1251(Windows1251ToUtf8(all)), all);
}

TEST(Windows1251Utf8, BytesMeanTheCodePagesCharacters) {
  const struct {
    unsigned char byte;
    const char* utf8;
  } cases[] = {
      {0x01, "\x01"}, {0x7F, "\x7F"}, {0x80, "Ђ"}, {0x88, "€"}, {0xA0, "\xC2\xA0"},
      {0xA8, "Ё"}, {0xB2, "І"}, {0xB8, "ё"}, {0xB9, "№"}, {0xC0, "А"}, {0xDF, "Я"}, {0xE0, "а"}, {0xFF, "я"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Windows1251ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << int{c.byte};
  }
}

TEST(Windows1251Utf8, TheUndefinedByteBecomesTheReplacementCharacterWhichHasNoByte) {
  EXPECT_EQ(Windows1251ToUtf8("a\x98z"), "a\xEF\xBF\xBDz");
  try {
    Utf8ToWindows1251("a\xEF\xBF\xBDz");
    FAIL() << "U+FFFD converted";
  } catch (const std::invalid_argument& fault) {
    EXPECT_STREQ(fault.what(), "U+FFFD at byte 1 has no Windows-1251 form");
  }
}

TEST(Windows1251Utf8, TextWithoutAWindows1251FormSaysWhereAndWhy) {
  using Kind = Utf8Fault::Kind;
  const struct {
    const char* what;
    std::string utf8;
    Kind kind;
    std::size_t offset;
    char32_t character;
  } cases[] = {
      {"lone continuation byte", "ab\x80", Kind::kNotUtf8, 2, 0},
      {"sequence cut at the end", "\xD0\x90\xD0", Kind::kNotUtf8, 2, 0},
      {"lead without continuation", "\xD0" "A", Kind::kNotUtf8, 0, 0},
      {"overlong NUL", "x\xC0\x80", Kind::kNotUtf8, 1, 0},
      {"overlong three bytes", "\xE0\x80\xAF", Kind::kNotUtf8, 0, 0},
      {"surrogate", "\xED\xA0\x80", Kind::kNotUtf8, 0, 0},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", Kind::kNotUtf8, 0, 0},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", Kind::kNotUtf8, 0, 0},
      {"Latin letter of another code page", "caf\xC3\xA9", Kind::kNoWindows1251Form, 3, 0xE9},
      {"outside the basic plane", "\xF0\x9F\x98\x80", Kind::kNoWindows1251Form, 0, 0x1F600},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes(c.utf8.size(), '\0');
    Utf8Fault fault;
    EXPECT_FALSE(Utf8ToWindows1251(c.utf8.data(), c.utf8.size(), bytes.data(), &fault).has_value());
    EXPECT_EQ(fault.kind, c.kind);
    EXPECT_EQ(fault.offset, c.offset);
    EXPECT_EQ(fault.character, c.character);
    EXPECT_THROW(Utf8ToWindows1251(c.utf8), std::invalid_argument);
  }
  EXPECT_EQ(Utf8Fault{}.Describe(), "not UTF-8 at byte 0");
}

}  // namespace
}  // namespace vexa::support
