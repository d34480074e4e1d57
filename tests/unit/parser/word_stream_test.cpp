#include "parser/word_stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace vexa {
namespace {

std::string StreamBytes(const TWordStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
}

TEST(WordStream, RecordsAreLittleEndianLengthThenBytes) {
  TWordStream stream;
  stream.Append("AB", 2);
  stream.Append(std::string(255, 'X').data(), 255);
  const std::string bytes = StreamBytes(stream);
  ASSERT_EQ(bytes.size(), 6u + 4u + 255u);
  EXPECT_EQ(bytes.substr(0, 6), std::string("\x02\x00\x00\x00" "AB", 6));
  EXPECT_EQ(bytes.substr(6, 4), std::string("\xFF\x00\x00\x00", 4));
}

TEST(WordStream, ReadsBackInOrderAfterReset) {
  TWordStream stream;
  EXPECT_EQ(stream.NextWord(), "");
  stream.Append("ONE", 3);
  stream.Append("TWO", 3);
  EXPECT_EQ(stream.NextWord(), "") << "after a write the position stands at the end";
  stream.Reset();
  EXPECT_EQ(stream.NextWord(), "ONE");
  EXPECT_EQ(stream.NextWord(), "TWO");
  EXPECT_EQ(stream.NextWord(), "");
  EXPECT_EQ(stream.NextWord(), "");
}

TEST(WordStream, AppendAfterPartialReadGoesToTheEndAndKeepsEveryRecord) {
  TWordStream stream;
  stream.Append("ONE", 3);
  stream.Append("TWO", 3);
  stream.Reset();
  EXPECT_EQ(stream.NextWord(), "ONE");
  stream.Append("LONGER", 6);
  EXPECT_EQ(stream.Position(), stream.Size());
  stream.Reset();
  EXPECT_EQ(stream.NextWord(), "ONE");
  EXPECT_EQ(stream.NextWord(), "TWO");
  EXPECT_EQ(stream.NextWord(), "LONGER");
  EXPECT_EQ(stream.NextWord(), "");
}

TEST(WordStream, CrcCoversTheWholeStreamWhateverThePosition) {
  TWordStream stream;
  EXPECT_EQ(stream.Crc(), 0xFFFFFFFFu);
  stream.Append("AB", 2);
  EXPECT_EQ(stream.Crc(), 0x7245A1AFu);
  stream.Reset();
  EXPECT_EQ(stream.Crc(), 0x7245A1AFu);
  stream.NextWord();
  EXPECT_EQ(stream.Crc(), 0x7245A1AFu);
}

// The ways of appending a word give the same records: AppendShort's bytes
// past the word never become part of the stream, also across its growth.
TEST(WordStream, EveryWayOfAppendingGivesTheSameRecords) {
  TWordStream plain, mapped, shortWords;
  unsigned char identity[256];
  for (unsigned i = 0; i < 256; ++i) identity[i] = static_cast<unsigned char>(i);
  for (std::size_t i = 0; i < 300; ++i) {
    const std::size_t length = 1 + i % 15;
    char block[16];
    for (std::size_t k = 0; k < 16; ++k) block[k] = static_cast<char>(k < length ? 'A' + (i + k) % 26 : 0xEE);
    std::uint64_t first8 = 0, next8 = 0;
    std::memcpy(&first8, block, 8);
    std::memcpy(&next8, block + 8, 8);
    plain.Append(block, length);
    mapped.AppendMapped(block, length, identity);
    shortWords.AppendShort(first8, next8, length);
    ASSERT_EQ(StreamBytes(shortWords), StreamBytes(plain)) << "after word " << i;
  }
  EXPECT_EQ(StreamBytes(mapped), StreamBytes(plain));
  EXPECT_EQ(shortWords.Crc(), plain.Crc());
  EXPECT_EQ(shortWords.Position(), shortWords.Size());
}

}  // namespace
}  // namespace vexa
