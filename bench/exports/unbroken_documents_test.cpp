#include "bench/exports/unbroken_documents.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vexa::bench {
namespace {

TEST(CutUnbrokenDocuments, GivesOneDocumentOfEachSize) {
  std::string text(static_cast<std::size_t>(kMaxUnbrokenMiB) * kBytesPerMiB + 10, 'a');
  for (std::size_t i = 0; i < text.size(); i += 4096) text[i] = static_cast<char>('b' + i % 20);
  const UnbrokenDocuments documents = CutUnbrokenDocuments("Dump", text);
  EXPECT_EQ(documents.name, "Dump");
  std::vector<std::int64_t> sizes;
  for (const auto& [mib, sized] : documents.bySize) {
    sizes.push_back(mib);
    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].size(), static_cast<std::size_t>(mib) * kBytesPerMiB);
    EXPECT_EQ(sized[0], text.substr(0, sized[0].size()));
  }
  EXPECT_EQ(sizes, (std::vector<std::int64_t>{1, 2, 4, 8, 16}));
}

TEST(CutUnbrokenDocuments, NeedsTextForTheLargestSize) {
  const std::string text(static_cast<std::size_t>(kMaxUnbrokenMiB) * kBytesPerMiB - 1, 'a');
  EXPECT_THROW(CutUnbrokenDocuments("Dump", text), std::invalid_argument);
}

}  // namespace
}  // namespace vexa::bench
