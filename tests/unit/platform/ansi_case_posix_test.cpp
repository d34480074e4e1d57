// The upper-casing of the POSIX side checked against an independent
// derivation: each Windows-1251 byte decoded by iconv, upper-cased by the C
// library's Unicode tables, and encoded back when the capital is in the code
// page.
#include <gtest/gtest.h>
#include <iconv.h>

#include <clocale>
#include <cwctype>
#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

// The Unicode code point of a Windows-1251 byte, or 0 where none is defined.
char32_t Decode1251(unsigned char byte) {
  iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1251");
  char in = static_cast<char>(byte);
  char out[4] = {};
  char* inPtr = &in;
  char* outPtr = out;
  std::size_t inLeft = 1, outLeft = 4;
  const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return 0;
  return static_cast<char32_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
                               static_cast<unsigned char>(out[2]) << 16 | static_cast<unsigned char>(out[3]) << 24);
}

unsigned char ExpectedCapital(unsigned char byte) {
  const char32_t code = Decode1251(byte);
  if (code == 0) return byte;
  const auto capital = static_cast<char32_t>(std::towupper(static_cast<wint_t>(code)));
  if (capital == code) return byte;
  for (int candidate = 0; candidate < 256; ++candidate) {
    if (Decode1251(static_cast<unsigned char>(candidate)) == capital) return static_cast<unsigned char>(candidate);
  }
  return byte;  // the capital is not in the code page
}

TEST(AnsiCase, UpperCaseOfEveryByteFollowsTheUnicodeCaseMapping) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  int changed = 0;
  for (int byte = 0; byte < 256; ++byte) {
    char c = static_cast<char>(byte);
    UpperCase(&c, 1);
    const unsigned char expected = ExpectedCapital(static_cast<unsigned char>(byte));
    EXPECT_EQ(static_cast<unsigned char>(c), expected) << "byte 0x" << std::hex << byte;
    if (expected != byte) ++changed;
  }
  EXPECT_EQ(changed, 26 + 32 + 15);  // a..z, а..я, and ё ђ ѓ є ѕ і ї ј љ њ ћ ќ ў џ ґ
}

}  // namespace
}  // namespace vexa::platform
