// The UDR module's rows, apart from the engine: where a word is cut in a
// field of a single-byte or UTF-8 character set, and how FT_TERMS splits a
// word's positions into rows.
#include <gtest/gtest.h>

#include <string>

#include "frame/udr/output_text.h"
#include "frame/udr/term_rows.h"

namespace vexa::udr {
namespace {

TEST(FittingLength, KeepsWholeCharactersOnly) {
  const std::string twoByte = "\xD0\xB0";        // а
  const std::string threeByte = "\xE2\x82\xAC";  // €
  const std::string fourByte = "\xF0\x9F\x98\x80";
  struct Case {
    std::string text;
    std::size_t capacity;
    TextEncoding encoding;
    std::size_t expected;
  };
  const Case cases[] = {
      {std::string(40, 'x'), 31, TextEncoding::kUtf8, 31},
      {"x" + twoByte + twoByte, 4, TextEncoding::kUtf8, 3},
      {"x" + twoByte + twoByte, 4, TextEncoding::kSingleByte, 4},
      {"xy" + threeByte, 4, TextEncoding::kUtf8, 2},
      {"x" + threeByte, 4, TextEncoding::kUtf8, 4},
      {fourByte + fourByte, 7, TextEncoding::kUtf8, 4},
      {fourByte, 3, TextEncoding::kUtf8, 0},
      {"ab\xD0", 31, TextEncoding::kUtf8, 2},                  // ends in a lead byte alone
      {"ab\x80\x80\x80\x80", 31, TextEncoding::kUtf8, 6},      // no lead byte in reach: as it is
      {"", 31, TextEncoding::kUtf8, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(FittingLength(c.text, c.capacity, c.encoding), c.expected) << c.text;
}

TEST(TermRows, PositionsFillRowsWithWholeNumbersUpToTheRoom) {
  TEngineSettings settings;
  TParser parser(false, settings);
  std::string text;
  for (int i = 0; i < 13; ++i) text += "aa ";  // positions 0..12: "0 1 ... 9" is 19 bytes
  parser.AddText((text + "bb").c_str());
  TermRows rows(parser, TextField{0, 0, 31, TextEncoding::kSingleByte}, 19);
  std::vector<std::string> seen;
  TermRow row;
  while (rows.Next(row)) {
    seen.push_back(std::string(row.word) + "/" + std::to_string(row.part) + "/" + std::to_string(row.freq) + "/" +
                   std::string(row.positions));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"AA/0/10/0 1 2 3 4 5 6 7 8 9", "AA/1/3/10 11 12", "BB/0/1/13"}));
}

}  // namespace
}  // namespace vexa::udr
