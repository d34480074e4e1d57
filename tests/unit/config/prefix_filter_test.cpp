#include "config/prefix_filter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/platform.h"

namespace vexa {
namespace {

// The branch-free tests of a chunk must answer as the plain one.
TEST(PrefixFilter, FollowedTextAnswersAsThePlainTest) {
  std::mt19937 random(3);
  const std::string picked = "aAbBlLoO&/.";
  const auto randomText = [&](std::size_t length) {
    std::string text(length, ' ');
    for (char& byte : text) {
      byte = random() % 2 == 0 ? picked[random() % picked.size()] : static_cast<char>(1 + random() % 255);
    }
    return text;
  };
  for (int round = 0; round < 50; ++round) {
    TPrefixFilter filter(platform::UpperCaseTable());
    for (int i = 0; i < 1 + round; ++i) {
      std::string entry = randomText(1 + random() % 6);
      platform::UpperCase(entry.data(), entry.size());
      filter.Add(entry);
    }
    for (int i = 0; i < 2000; ++i) {
      const std::string text = randomText(1 + random() % 8);  // its NUL is the byte that follows
      ASSERT_EQ(filter.MayMatchFollowed(text.c_str(), text.size()), filter.MayMatch(text.c_str(), text.size()))
          << text;
      // The test of a chunk's start must let through every chunk that may match.
      std::size_t chunk = 0;
      while (static_cast<unsigned char>(text[chunk]) > 0x20) ++chunk;
      if (chunk > 0 && filter.MayMatchFollowed(text.c_str(), chunk)) {
        ASSERT_TRUE(filter.MayMatchChunkAt(text.c_str())) << text;
      }
    }
  }
}

}  // namespace
}  // namespace vexa
