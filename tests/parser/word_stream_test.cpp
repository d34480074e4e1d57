#include "parser/word_stream.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vexa
