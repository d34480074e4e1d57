// Texts at the edges of size: 0, 1, 255 and 256 bytes, through Parser_Add
// (with the byte after the NUL unreadable) and through Parser_AddBlob (with
// totals that match what arrives, exceed it or fall short of it); and texts
// of 100 MB, with blanks and without a single one.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "configured_module.h"
#include "host_calls.h"
#include "loaded_module.h"
#include "page_end_text.h"
#include "recording_blob.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

constexpr std::size_t kStoredBytes = 255;
constexpr std::size_t kResultBytes = 31;
constexpr std::size_t kHundredMegabytes = 100u << 20;
constexpr std::size_t kBuiltInMinimumLength = 2;

std::string Upper(std::string word) {
  for (char& c : word) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return word;
}

// The words the stream keeps of a text of small Latin letters and blanks
// under the built-in settings.
Words StoredWords(const std::string& text, ParserKind kind) {
  Words words;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::size_t length = end - start;
    if (length > 0 && (kind == ParserKind::kQuery || length >= kBuiltInMinimumLength)) {
      words.push_back(Upper(text.substr(start, std::min(length, kStoredBytes))));
    }
    start = end + 1;
  }
  return words;
}

Words Results(const Words& stored) {
  Words results;
  for (const std::string& word : stored) results.push_back(word.substr(0, kResultBytes));
  return results;
}

enum class TextShape { kOneWord, kShortWords };

struct SizeCase {
  std::size_t bytes;
  TextShape shape;
};

void PrintTo(const SizeCase& row, std::ostream* out) {
  *out << row.bytes << " bytes of " << (row.shape == TextShape::kOneWord ? "one word" : "short words");
}

std::string TextOf(const SizeCase& row) {
  std::string text;
  for (std::size_t i = 0; text.size() < row.bytes; ++i) {
    const bool blank = row.shape == TextShape::kShortWords && i % 7 == 3;
    text.push_back(blank ? ' ' : static_cast<char>('a' + (i * 5) % 26));
  }
  return text;
}

class TextSizeTest : public ::testing::TestWithParam<SizeCase> {
 protected:
  // Parser_Add and Parser_AddBlob of `text` into a new parser of `kind`: the
  // stream's CRC must be that of `stored` and Parser_Next must give its words.
  void ExpectWords(ParserKind kind, const Words& stored, const std::function<void(std::int32_t)>& add) {
    const std::int32_t handle = vexa_.Create(kind);
    ASSERT_NE(handle, 0);
    add(handle);
    EXPECT_EQ(vexa_.Crc(handle), StreamCrcOf(stored));
    ASSERT_EQ(vexa_.Reset(handle), 1);
    EXPECT_EQ(vexa_.ReadAll(handle), Results(stored));
    EXPECT_EQ(vexa_.Free(handle), 1);
  }

  LoadedModule module_;
  HostCalls vexa_{module_.Exports()};
};

TEST_P(TextSizeTest, ParserAddReadsNothingPastTheNul) {
  const std::string text = TextOf(GetParam());
  const PageEndText guarded(text);
  for (ParserKind kind : {ParserKind::kDocument, ParserKind::kQuery}) {
    ExpectWords(kind, StoredWords(text, kind), [&](std::int32_t handle) { ASSERT_EQ(vexa_.Add(handle, guarded.Get()), 1); });
  }
}

TEST_P(TextSizeTest, BlobTotalsMatchingExceedingOrShortOfWhatArrives) {
  const std::string text = TextOf(GetParam());
  const auto size = static_cast<std::int32_t>(text.size());
  struct Delivery {
    std::int32_t maxSegment;
    std::int32_t total;
  };
  const Delivery deliveries[] = {{1, size}, {255, size}, {65535, size}, {100, size + 1000}, {65535, size - 1}};
  for (const Delivery& delivery : deliveries) {
    SCOPED_TRACE("segments of " + std::to_string(delivery.maxSegment) + ", total " + std::to_string(delivery.total));
    const std::string arrives = text.substr(0, static_cast<std::size_t>(std::max(0, delivery.total)));
    for (ParserKind kind : {ParserKind::kDocument, ParserKind::kQuery}) {
      RecordingBlob blob(text, static_cast<std::size_t>(delivery.maxSegment));
      const vexa::host::BlobCallback record = blob.Record(delivery.maxSegment, delivery.total);
      ExpectWords(kind, StoredWords(arrives, kind), [&](std::int32_t handle) {
        ASSERT_EQ(vexa_.AddBlob(handle, &record), 1);
      });
      EXPECT_TRUE(blob.StayedWithinTotal());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TextSizeTest,
                         ::testing::Values(SizeCase{0, TextShape::kOneWord}, SizeCase{1, TextShape::kOneWord},
                                           SizeCase{255, TextShape::kOneWord}, SizeCase{256, TextShape::kOneWord},
                                           SizeCase{1, TextShape::kShortWords}, SizeCase{255, TextShape::kShortWords},
                                           SizeCase{256, TextShape::kShortWords}),
                         [](const ::testing::TestParamInfo<SizeCase>& row) {
                           return std::string(row.param.shape == TextShape::kOneWord ? "OneWord" : "ShortWords") +
                                  std::to_string(row.param.bytes);
                         });

// 100 MB texts -----------------------------------------------------------

// `pattern` repeated to at least 100 MB.
std::string HundredMegabytesOf(const std::string& pattern) {
  std::string text;
  text.reserve(kHundredMegabytes + pattern.size());
  while (text.size() < kHundredMegabytes) text += pattern;
  return text;
}

// The CRC of a stream of `records` repeated `times` times.
std::uint32_t RepeatedStreamCrc(const Words& records, std::size_t times) {
  const std::string bytes = WordRecords(records);
  uLong crc = crc32(0L, Z_NULL, 0);
  for (std::size_t i = 0; i < times; ++i) {
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
  }
  return static_cast<std::uint32_t>(crc) ^ 0xFFFFFFFFu;
}

// Reads every word and compares it with the pattern's words in turn,
// without keeping millions of strings.
void ExpectRepeatedWords(const HostCalls& vexa, std::int32_t handle, const Words& pattern, std::size_t times) {
  ASSERT_EQ(vexa.Reset(handle), 1);
  for (std::size_t i = 0; i < times * pattern.size(); ++i) {
    const std::string word = vexa.Next(handle);
    ASSERT_EQ(word, pattern[i % pattern.size()]) << "word " << i;
  }
  EXPECT_EQ(vexa.Next(handle), "");
}

class HundredMegabyteTest : public ::testing::Test {
 protected:
  static constexpr const char* kPattern = "documentation interoperability ";
  const std::string text_ = HundredMegabytesOf(kPattern);
  const std::size_t times_ = text_.size() / std::string(kPattern).size();
  const Words words_{"DOCUMENTATION", "INTEROPERABILITY"};
};

TEST_F(HundredMegabyteTest, ParserAddKeepsEveryWord) {
  const LoadedModule module;
  const HostCalls vexa(module.Exports());
  const std::int32_t handle = vexa.Create();
  ASSERT_EQ(vexa.Add(handle, text_), 1);
  EXPECT_EQ(vexa.Crc(handle), RepeatedStreamCrc(words_, times_));
  ExpectRepeatedWords(vexa, handle, words_, times_);
}

TEST_F(HundredMegabyteTest, ParserAddBlobKeepsEveryWord) {
  const LoadedModule module;
  const HostCalls vexa(module.Exports());
  RecordingBlob blob(text_, 65535);
  const vexa::host::BlobCallback record = blob.Record(65535, static_cast<std::int32_t>(text_.size()));
  const std::int32_t handle = vexa.Create();
  ASSERT_EQ(vexa.AddBlob(handle, &record), 1);
  EXPECT_EQ(blob.BytesWritten(), text_.size());
  EXPECT_EQ(vexa.Crc(handle), RepeatedStreamCrc(words_, times_));
}

TEST(HundredMegabytesWithoutABlank, EveryRunIsAWordAndNoChunkIsATokenOrIsRescanned) {
  // One chunk of 100 MB: with token lists present every run is looked up as
  // the start of that chunk, which is longer than any token.
  const LoadedModule module(FullConfiguration());
  const HostCalls vexa(module.Exports());
  const std::string pattern = "internationalization-";
  const std::string text = HundredMegabytesOf(pattern);
  const std::int32_t handle = vexa.Create();
  ASSERT_EQ(vexa.Add(handle, text), 1);
  EXPECT_EQ(vexa.Crc(handle), RepeatedStreamCrc({"INTERNATIONALIZATION"}, text.size() / pattern.size()));
}

}  // namespace
}  // namespace vexa::test
