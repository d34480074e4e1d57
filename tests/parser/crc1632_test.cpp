#include "parser/crc1632.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

struct CrcCase {
  std::string bytes;
  std::uint32_t expected;
};

TEST(Crc1632, RawRegisterFromAllOnesGivesCheckValues) {
  const CrcCase cases[] = {
      {"", 0xFFFFFFFFu},
      {"123456789", 0x340BC6D9u},  // complement of the zip check value 0xCBF43926
      {std::string("\x02\x00\x00\x00" "AB", 6), 0x7245A1AFu},
  };
  for (const CrcCase& c : cases) {
    EXPECT_EQ(CalcCrc32(c.bytes.data(), c.bytes.size(), 0xFFFFFFFFu), c.expected) << c.bytes;
  }
}

TEST(Crc1632, UpdatingInPiecesEqualsOnePass) {
  const std::string text = "The quick brown fox jumps over the lazy dog";
  std::uint32_t crc = 0xFFFFFFFFu;
  UpdateCrc32(text.data(), 10, crc);
  UpdateCrc32(text.data() + 10, 0, crc);
  UpdateCrc32(text.data() + 10, text.size() - 10, crc);
  EXPECT_EQ(crc, CalcCrc32(text.data(), text.size(), 0xFFFFFFFFu));
  EXPECT_EQ(crc ^ 0xFFFFFFFFu, 0x414FA339u);  // the zip CRC-32 of that sentence
}

}  // namespace
}  // namespace vexa
