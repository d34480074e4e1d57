// The byte encodings: CRC-32 as zip computes it, varints that round-trip
// and refuse what runs past its record or overflows.
#include <gtest/gtest.h>

#include <string>

#include "index/coding.h"

namespace vexa::index {
namespace {

TEST(Coding, Crc32IsZipsOverAnyLength) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(Crc32(""), 0u);
  // Eight bytes a step or one: the same over every length and split.
  std::string bytes;
  for (int i = 0; i < 100; ++i) bytes += static_cast<char>(i * 37 + 11);
  for (std::size_t length = 0; length <= bytes.size(); ++length) {
    std::uint32_t byteAtATime = 0;
    for (std::size_t i = 0; i < length; ++i) byteAtATime = Crc32(std::string_view(bytes).substr(i, 1), byteAtATime);
    EXPECT_EQ(Crc32(std::string_view(bytes).substr(0, length)), byteAtATime) << length;
  }
}

TEST(Coding, VarintsRoundTripAndRefuseBadBytes) {
  std::string out;
  const std::uint64_t values[] = {0, 1, 127, 128, 300, 0xFFFFFFFFu, 0xFFFFFFFFFFFFFFFFull};
  for (const std::uint64_t value : values) PutVarint(out, value);
  ByteReader in(out);
  for (const std::uint64_t value : values) EXPECT_EQ(in.Varint(), value);
  EXPECT_TRUE(in.AtEnd());
  for (const std::string& bad : {std::string("\x80"), std::string(10, '\xFF') + '\x01'}) {
    ByteReader reader(bad);
    EXPECT_THROW(reader.Varint(), CorruptData) << bad.size() << " bytes";
  }
  const std::string wideBytes = "\xFF\xFF\xFF\xFF\x7F";  // 35 bits
  ByteReader wide(wideBytes);
  EXPECT_THROW(wide.Varint32(), CorruptData);
  for (const std::int64_t value : {0LL, -1LL, 1LL, -64LL, 9007199254740993LL, -9007199254740993LL}) {
    EXPECT_EQ(UnZigZag(ZigZag(value)), value);
  }
}

}  // namespace
}  // namespace vexa::index
