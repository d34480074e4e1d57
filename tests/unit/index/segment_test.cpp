// Segments written and read back: every word found with its documents,
// positions and lengths, seeks through long doclists, prefixes, phonetic
// codes and documents, for page sizes that put little and much on a page;
// and a damaged page reported, never misread.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <random>

#include "index/coding.h"
#include "index/index_columns.h"
#include "index/segment_reader.h"
#include "index/segment_writer.h"

namespace vexa::index {
namespace {

struct Posting {
  std::uint32_t length;
  std::vector<std::uint32_t> positions;
};
using Expected = std::map<std::string, std::map<std::uint64_t, Posting>>;

std::int32_t FakeSoundCode(std::string_view word) { return static_cast<std::int32_t>(word.size() % 4) - 1; }

// Random words over few letters (so that prefixes are shared) and documents
// of which a few hold a word very often.
Expected RandomContent(std::mt19937& random, int words, int documents) {
  Expected expected;
  for (int w = 0; w < words; ++w) {
    std::string word;
    const int length = std::uniform_int_distribution<int>(1, 12)(random);
    for (int i = 0; i < length; ++i) word += static_cast<char>('A' + random() % 4);
    auto& postings = expected[word];
    const int holders = w % 17 == 0 ? documents : std::uniform_int_distribution<int>(1, 6)(random);
    for (int d = 0; d < holders; ++d) {
      const std::uint64_t key = w % 17 == 0 ? static_cast<std::uint64_t>(d) * 3 : random() % 100000;
      Posting& posting = postings[key];
      posting.length = 5000;
      const int count = d % 50 == 7 ? 700 : std::uniform_int_distribution<int>(1, 4)(random);
      for (int i = 0; i < count; ++i) posting.positions.push_back(static_cast<std::uint32_t>(random() % 5000));
      std::sort(posting.positions.begin(), posting.positions.end());
      posting.positions.erase(std::unique(posting.positions.begin(), posting.positions.end()), posting.positions.end());
    }
  }
  return expected;
}

class SegmentRoundTrip : public ::testing::TestWithParam<std::size_t> {
 protected:
  void Write(const Expected& expected, bool positions = true) {
    std::set<std::uint64_t> keys;
    SegmentWriter writer([this](std::uint32_t page, const PageBytes& bytes) { pages_[page] = bytes; }, FakeSoundCode,
                         GetParam(), positions);
    for (const auto& [word, postings] : expected) {
      DoclistWriter& doclist = writer.StartWord(word);
      for (const auto& [key, posting] : postings) {
        doclist.Add(key, posting.length, posting.positions);
        keys.insert(key);
      }
    }
    keys_.assign(keys.begin(), keys.end());
    for (const std::uint64_t key : keys_) documents_.push_back({key, 5000, static_cast<std::int32_t>(key * 2654435761u)});
    summary_ = writer.Finish(documents_);
  }

  SegmentReader Reader() {
    std::string header;
    for (std::uint32_t i = 0; i < summary_.headerPages; ++i) header += PagePayload(pages_.at(summary_.headerPage + i));
    return SegmentReader(std::make_shared<const SegmentHeader>(SegmentHeader::Decode(header)), [this](std::uint32_t page) {
      return std::make_shared<const std::string>(PagePayload(pages_.at(page)));
    });
  }

  std::map<std::uint32_t, PageBytes> pages_;
  std::vector<std::uint64_t> keys_;
  std::vector<DocumentInfo> documents_;
  SegmentSummary summary_;
};

TEST_P(SegmentRoundTrip, ReadsBackWhatWasWritten) {
  std::mt19937 random(7);
  const Expected expected = RandomContent(random, 400, 3000);
  Write(expected);
  ASSERT_EQ(summary_.pageCount, pages_.size());
  for (const auto& [page, bytes] : pages_) EXPECT_LE(bytes.size(), GetParam());
  const SegmentReader reader = Reader();
  EXPECT_EQ(reader.Header().words, expected.size());
  EXPECT_EQ(reader.AllDocuments(), documents_);

  for (const auto& [word, postings] : expected) {
    SCOPED_TRACE(word);
    const std::optional<WordEntry> entry = reader.Find(word);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->documents, postings.size());
    PostingCursor cursor = reader.Postings(*entry);
    for (const auto& [key, posting] : postings) {
      ASSERT_TRUE(cursor.Next());
      ASSERT_EQ(cursor.Key(), key);
      EXPECT_EQ(cursor.DocumentLength(), posting.length);
      if (key % 3 == 0) {
        EXPECT_EQ(cursor.Positions(), posting.positions);  // others are skipped unread
      }
    }
    EXPECT_FALSE(cursor.Next());
    // Seeks, forward only, land on the first key at or after the target.
    PostingCursor seeker = reader.Postings(*entry);
    for (std::uint64_t target = 0; target < 100000; target += 1 + random() % 5000) {
      const auto want = postings.lower_bound(target);
      const bool found = seeker.Seek(target);
      ASSERT_EQ(found, want != postings.end()) << target;
      if (!found) break;
      EXPECT_EQ(seeker.Key(), want->first);
      EXPECT_EQ(seeker.Positions(), want->second.positions);
    }
  }
  EXPECT_FALSE(reader.Find("AAAAAAAAAAAAA"));
  EXPECT_FALSE(reader.Find(""));
  EXPECT_FALSE(reader.Find("Z"));

  for (const std::string prefix : {"", "A", "AB", "DCBA", "Z"}) {
    std::vector<std::string> want;
    for (const auto& [word, postings] : expected) {
      if (word.compare(0, prefix.size(), prefix) == 0) want.push_back(word);
    }
    std::vector<std::string> got;
    reader.ForEachWord(prefix, [&](WordEntry&& entry) {
      got.push_back(entry.word);
      return true;
    });
    EXPECT_EQ(got, want) << prefix;
  }
  for (const std::int32_t code : {-1, 0, 1, 2, 7}) {
    std::vector<std::string> want;
    for (const auto& [word, postings] : expected) {
      if (FakeSoundCode(word) == code) want.push_back(word);
    }
    EXPECT_EQ(reader.WordsWithSoundCode(code), want) << code;
  }
  const std::vector<std::uint64_t> probe = {0, 1, 3, keys_[keys_.size() / 2], keys_.back(), keys_.back() + 1};
  std::vector<DocumentInfo> held;
  for (const std::uint64_t key : probe) {
    const auto found = std::lower_bound(documents_.begin(), documents_.end(), key,
                                        [](const DocumentInfo& document, std::uint64_t k) { return document.key < k; });
    if (found != documents_.end() && found->key == key) held.push_back(*found);
  }
  EXPECT_EQ(reader.DocumentsAmong(probe), held);
}

TEST_P(SegmentRoundTrip, ADamagedPageIsReportedNotRead) {
  std::mt19937 random(11);
  const Expected expected = RandomContent(random, 60, 500);
  Write(expected);
  {
    const SegmentReader reader = Reader();
    for (const auto& [word, postings] : expected) {
      PostingCursor cursor = reader.Postings(*reader.Find(word));
      while (cursor.Next()) cursor.Positions();
    }
  }
  for (const auto& [page, bytes] : std::map<std::uint32_t, PageBytes>(pages_)) {
    for (const std::size_t at : {std::size_t{0}, bytes.size() / 2, bytes.size() - 1}) {
      pages_[page][at] = static_cast<char>(pages_[page][at] ^ 0x10);
      EXPECT_THROW(
          {
            const SegmentReader reader = Reader();
            for (const auto& [word, postings] : expected) {
              PostingCursor cursor = reader.Postings(*reader.Find(word));
              while (cursor.Next()) cursor.Positions();
            }
            reader.AllDocuments();
            for (const std::int32_t code : {-1, 0, 1, 2}) reader.WordsWithSoundCode(code);
          },
          CorruptData)
          << "page " << page << " byte " << at;
      pages_[page] = bytes;
    }
  }
}

// A segment of columns only keeps, of each posting, which columns hold the
// word, each read as the column's first position; keys as far apart as
// keys go, and seeks through skip entries, read back alike.
TEST_P(SegmentRoundTrip, ColumnsOnlyKeepWhichColumnsHoldEachWord) {
  std::mt19937 random(11);
  Expected expected = RandomContent(random, 300, 3000);
  expected["ZZ"] = {{0, {1, {ColumnPosition(3, 0)}}}, {1, {1, {0}}}, {std::uint64_t{1} << 63, {1, {0, ColumnPosition(254, 9)}}},
                    {~std::uint64_t{0}, {1, {ColumnPosition(1, 4), ColumnPosition(1, 7), ColumnPosition(2, 0)}}}};
  std::uint32_t column = 0;
  for (auto& [word, postings] : expected) {
    for (auto& [key, posting] : postings) {
      if (word != "ZZ" && key % 5 == 1) {
        for (std::uint32_t& position : posting.positions) position = ColumnPosition(++column % 4, position);
        std::sort(posting.positions.begin(), posting.positions.end());
      }
    }
  }
  Write(expected, false);
  const SegmentReader reader = Reader();
  EXPECT_FALSE(reader.Header().positions);
  EXPECT_EQ(reader.AllDocuments(), documents_);
  for (const auto& [word, postings] : expected) {
    SCOPED_TRACE(word);
    const std::optional<WordEntry> entry = reader.Find(word);
    ASSERT_TRUE(entry);
    const auto columns = [](const Posting& posting) {
      std::vector<std::uint32_t> firsts;
      for (const std::uint32_t position : posting.positions) {
        const std::uint32_t first = ColumnPosition(ColumnOf(position), 0);
        if (firsts.empty() || firsts.back() != first) firsts.push_back(first);
      }
      return firsts;
    };
    PostingCursor cursor = reader.Postings(*entry);
    for (const auto& [key, posting] : postings) {
      ASSERT_TRUE(cursor.Next());
      ASSERT_EQ(cursor.Key(), key);
      EXPECT_EQ(cursor.DocumentLength(), 0u);
      EXPECT_EQ(cursor.Positions(), columns(posting));
    }
    EXPECT_FALSE(cursor.Next());
    PostingCursor seeker = reader.Postings(*entry);
    for (const auto& [key, posting] : postings) {
      if (random() % 7 != 0) continue;
      ASSERT_TRUE(seeker.Seek(key));
      EXPECT_EQ(seeker.Key(), key);
      EXPECT_EQ(seeker.Positions(), columns(posting));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(PageSizes, SegmentRoundTrip, ::testing::Values(std::size_t{256}, std::size_t{4000}));

}  // namespace
}  // namespace vexa::index
