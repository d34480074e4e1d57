#include "config/word_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

TEST(WordHash, ReferenceValues) {
  const struct {
    std::string bytes;
    std::uint32_t hash;
  } cases[] = {
      {"", 0x9F7EFAEDu},
      {"THE", 0x933B0799u},
      {"TCP/IP", 0x1891C991u},
      {"the", 0xE2016E67u},
      {"ABCDEFGHIJKLM", 0x163ED8C9u},  // one full block of twelve and one byte
  };
  for (const auto& c : cases) EXPECT_EQ(WordHash(c.bytes.data(), c.bytes.size()), c.hash) << c.bytes;
}

TEST(WordHash, EveryByteOfTheRestCounts) {
  // Lengths 1..24 cover every rest of 0..11 bytes after 0..2 blocks; changing
  // any one byte must change the hash.
  for (std::size_t length = 1; length <= 24; ++length) {
    std::string text(length, 'k');
    const std::uint32_t base = WordHash(text.data(), text.size());
    for (std::size_t i = 0; i < length; ++i) {
      std::string changed = text;
      changed[i] = 'K';
      EXPECT_NE(WordHash(changed.data(), changed.size()), base) << length << " " << i;
    }
  }
}

}  // namespace
}  // namespace vexa
