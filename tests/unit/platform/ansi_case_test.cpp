// Upper-casing and case-blind comparison under the server's ANSI code page,
// Windows-1251: the length kept, only the bytes given touched, Cyrillic
// letters with their capitals.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace vexa::platform {
namespace {

TEST(AnsiCase, UpperCaseKeepsTheLengthAndTouchesOnlyTheCountGiven) {
  char text[] = "abc\xE0\xB8\xB5xyz";
  UpperCase(text, 6);
  EXPECT_EQ(std::string(text), "ABC\xC0\xA8\xB5xyz");  // µ has no capital in the code page
}

TEST(AnsiCase, ComparisonIgnoresCaseOverExactlyTheCountGiven) {
  const struct {
    const char* a;
    const char* b;
    std::size_t count;
    bool equal;
  } cases[] = {
      {"tcp/ip", "TCP/IP", 6, true},
      {"\xF2\xE5\xF1\xF2", "\xD2\xC5\xD1\xD2", 4, true},  // тест / ТЕСТ
      {"\xB8", "\xA8", 1, true},                          // ё / Ё
      {"\xB8", "\xC5", 1, false},                         // ё / Е
      {"abcx", "ABCy", 3, true},
      {"abcx", "ABCy", 4, false},
      {"", "", 0, true},
  };
  for (const auto& c : cases) EXPECT_EQ(EqualIgnoringCase(c.a, c.b, c.count), c.equal) << c.a << " / " << c.b;
}

}  // namespace
}  // namespace vexa::platform
