// The upper-casing of the Win32 side checked against the system's Unicode
// case mapping: each Windows-1251 byte decoded to Unicode, upper-cased as a
// wide character, and encoded back when the capital is in the code page.
// The module upper-cases under the ANSI code page, so the tests run with
// code page 1251 (under Wine, with a Russian locale).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

constexpr UINT kWindows1251 = 1251;

unsigned char ExpectedCapital(unsigned char byte) {
  const char in = static_cast<char>(byte);
  wchar_t wide = 0;
  if (MultiByteToWideChar(kWindows1251, MB_ERR_INVALID_CHARS, &in, 1, &wide, 1) != 1) return byte;
  wchar_t capital[2] = {wide, 0};
  CharUpperW(capital);
  if (capital[0] == wide) return byte;
  char out = 0;
  BOOL usedDefault = FALSE;
  if (WideCharToMultiByte(kWindows1251, WC_NO_BEST_FIT_CHARS, capital, 1, &out, 1, nullptr, &usedDefault) != 1 ||
      usedDefault) {
    return byte;  // the capital is not in the code page
  }
  return static_cast<unsigned char>(out);
}

TEST(AnsiCase, TheTestsRunUnderCodePage1251) { ASSERT_EQ(GetACP(), kWindows1251); }

TEST(AnsiCase, UpperCaseOfEveryByteFollowsTheUnicodeCaseMapping) {
  ASSERT_EQ(GetACP(), kWindows1251);
  int changed = 0;
  for (int byte = 0; byte < 256; ++byte) {
    char c = static_cast<char>(byte);
    UpperCase(&c, 1);
    const unsigned char expected = ExpectedCapital(static_cast<unsigned char>(byte));
    EXPECT_EQ(static_cast<unsigned char>(c), expected) << "byte 0x" << std::hex << byte;
    EXPECT_EQ(UpperCaseTable()[byte], expected) << "table entry 0x" << std::hex << byte;
    if (expected != byte) ++changed;
  }
  EXPECT_EQ(changed, 26 + 32 + 15);  // a..z, а..я, and ё ђ ѓ є ѕ і ї ј љ њ ћ ќ ў џ ґ
}

}  // namespace
}  // namespace vexa::platform
