#include "parser/crc1632.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
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

// Long runs of bytes are folded 64 and 16 bytes at a time where the processor
// allows it, the rest by tables: every length and alignment must give the
// register of the plain byte-by-byte update.
TEST(Crc1632, EveryLengthAndAlignmentGivesTheBytewiseRegister) {
  std::uint32_t table[256];
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1u) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    table[i] = value;
  }
  std::mt19937 random(21);
  std::string bytes(5000, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() % 256);
  for (std::size_t length = 0; length <= 1100; length += 1 + length / 64) {
    for (std::size_t offset = 0; offset < 16; offset += 5) {
      const std::uint32_t initial = static_cast<std::uint32_t>(random());
      std::uint32_t expected = initial;
      for (std::size_t i = 0; i < length; ++i) {
        expected = table[(expected ^ static_cast<unsigned char>(bytes[offset + i])) & 0xFFu] ^ (expected >> 8);
      }
      ASSERT_EQ(CalcCrc32(bytes.data() + offset, length, initial), expected) << length << " at " << offset;
    }
  }
  EXPECT_EQ(CalcCrc32(bytes.data(), bytes.size(), 0xFFFFFFFFu),
            CalcCrc32(bytes.data() + 1000, bytes.size() - 1000, CalcCrc32(bytes.data(), 1000, 0xFFFFFFFFu)));
}

}  // namespace
}  // namespace vexa
