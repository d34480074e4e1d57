#include "parser/token_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "parser/plain_token_list.h"

namespace vexa {
namespace {

// Every way of classifying a block that this build and processor have.
std::vector<std::pair<const char*, TClassifyBlockFunction>> Classifiers() {
  std::vector<std::pair<const char*, TClassifyBlockFunction>> ways{{"portable", &ClassifyBlockPortable}};
  if (kClassifyBlockSse2 != nullptr) ways.emplace_back("sse2", kClassifyBlockSse2);
  if (const TClassifyBlockFunction avx2 = ClassifyBlockAvx2IfSupported()) ways.emplace_back("avx2", avx2);
  return ways;
}

// Bytes that tell the ways apart: blanks and controls, both ends of the
// Latin letters, the top bit set and clear, and everything at random.
std::string RandomText(std::mt19937& random, std::size_t length) {
  static const unsigned char kPicked[] = {' ', '\t', '\n', 0x01, 0x1F, 0x20, 0x21, '-', '.', 'A', 'Z', 'a', 'z',
                                          '0', '9', '_', '@', '[', '`', '{', 0x7F, 0x80, 0xA8, 0xB8, 0xC0, 0xDF,
                                          0xE0, 0xFF};
  std::string text(length, ' ');
  for (char& byte : text) {
    const std::uint32_t pick = random() % 4;
    byte = static_cast<char>(pick == 0 ? kPicked[random() % sizeof kPicked] : pick == 1 ? ' ' : 'a' + random() % 26);
    if (byte == '\0') byte = 'x';
  }
  // Now and then a byte of any value but NUL.
  for (std::size_t i = 0; i < length / 8; ++i) text[random() % length] = static_cast<char>(1 + random() % 255);
  return text;
}

TCharSet RandomSet(std::mt19937& random) {
  TCharSet set;
  switch (random() % 4) {
    case 0:
      set = TCharSet::DefaultWordCharacters();
      break;
    case 1:  // the Windows-1251 letters as well
      set = TCharSet::DefaultWordCharacters();
      set.AddRange(0xC0, 0xFF);
      set.Add(0xA8);
      set.Add(0xB8);
      break;
    case 2:  // every byte, NUL and blanks included
      set.AddRange(0, 255);
      break;
    default:
      for (unsigned byte = 0; byte < 256; ++byte) {
        if (random() % 3 == 0) set.Add(static_cast<unsigned char>(byte));
      }
  }
  return set;
}

std::size_t Offset(const std::string& text, const char* p) { return static_cast<std::size_t>(p - text.c_str()); }

const char* SkipToBlank(const char* p) {
  while (static_cast<unsigned char>(*p) > 0x20) ++p;
  return p;
}

TEST(TokenList, ClassifiersGiveTheSameMasks) {
  std::mt19937 random(7);
  const auto ways = Classifiers();
  for (int round = 0; round < 2000; ++round) {
    const TCharSet set = RandomSet(random);
    std::string block = RandomText(random, kBlockSize);
    if (round % 5 == 0) block[random() % kBlockSize] = '\0';
    const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
    const TBlockMasks expected = ClassifyBlockPortable(bytes, set);
    for (const auto& [name, classify] : ways) {
      const TBlockMasks masks = classify(bytes, set);
      EXPECT_EQ(masks.word, expected.word) << name;
      EXPECT_EQ(masks.blank, expected.blank) << name;
    }
  }
}

// At every offset of texts of many lengths, around the block size above all,
// each scan answers as the byte loops do.
TEST(TokenList, AnswersAsTheByteLoopsAtEveryOffset) {
  std::mt19937 random(11);
  const std::size_t lengths[] = {0, 1, 2, 15, 63, 64, 65, 127, 128, 129, 200, 1000};
  for (const auto& [name, classify] : Classifiers()) {
    for (int round = 0; round < 40; ++round) {
      for (const std::size_t length : lengths) {
        const TCharSet set = RandomSet(random);
        const std::string text = RandomText(random, length);
        TTokenList scanner(text.c_str(), text.size(), set, classify);
        // Offsets in rising order, as AddText asks, then at random.
        std::vector<std::size_t> offsets;
        for (std::size_t from = 0; from <= length; ++from) offsets.push_back(from);
        for (std::size_t i = 0; i < length; ++i) offsets.push_back(random() % (length + 1));
        for (const std::size_t from : offsets) {
          const char* p = text.c_str() + from;
          ASSERT_EQ(scanner.NextWordChar(from), Offset(text, SkipNonWordChars(p, set))) << name << " at " << from;
          ASSERT_EQ(scanner.NextNonWordChar(from), Offset(text, SkipWordChars(p, set))) << name << " at " << from;
          ASSERT_EQ(scanner.NextBlank(from), Offset(text, SkipToBlank(p))) << name << " at " << from;
        }
      }
    }
  }
}

// The runs of a text, found both ways, one after the other.
TEST(TokenList, FindsTheRunsThePlainTokenListFinds) {
  std::mt19937 random(13);
  for (const auto& [name, classify] : Classifiers()) {
    for (int round = 0; round < 300; ++round) {
      const TCharSet set = RandomSet(random);
      const std::string text = RandomText(random, random() % 700);
      std::vector<std::string> expected;
      for (TPlainTokenList tokens(text.c_str(), set); !tokens.AtEnd(); tokens.NextRun()) {
        expected.emplace_back(tokens.RunStart(), tokens.RunEnd());
      }
      std::vector<std::string> found;
      TTokenList scanner(text.c_str(), text.size(), set, classify);
      for (std::size_t start = scanner.NextWordChar(0); start < scanner.Length();) {
        const std::size_t end = scanner.NextNonWordChar(start);
        found.push_back(text.substr(start, end - start));
        start = scanner.NextWordChar(end);
      }
      ASSERT_EQ(found, expected) << name;
    }
  }
}

}  // namespace
}  // namespace vexa
