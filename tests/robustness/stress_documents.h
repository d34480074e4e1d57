// Documents for the concurrency tests, and what one thread alone gets from
// them: each document is fed to one parser as a text, a BLOB and another
// text, and read back whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host_calls.h"

namespace vexa::test {

struct StressDocument {
  ParserKind kind;
  std::string first;        // Parser_Add
  std::string blob;         // Parser_AddBlob, in segments of `blobSegment` bytes
  std::size_t blobSegment;
  std::string last;         // Parser_Add
};

struct ParseOutcome {
  std::vector<std::string> words;  // as Parser_Next gives them
  std::uint32_t crc = 0;

  bool operator==(const ParseOutcome& other) const { return words == other.words && crc == other.crc; }
};

// `count` documents of English and Windows-1251 Russian words, stop words,
// tokens, words the filter shortens and words longer than 255 bytes, a few
// hundred bytes to some tens of kilobytes each; the same on every call.
std::vector<StressDocument> StressDocuments(std::size_t count);

// Feeds the document to the parser `handle` and reads it back. Empty words
// and a CRC of 0 when a call on the handle is refused.
ParseOutcome FeedAndRead(const HostCalls& vexa, std::int32_t handle, const StressDocument& document);

// The outcome of every document, each in a parser of its own, one at a time.
std::vector<ParseOutcome> SingleThreadedOutcomes(const HostCalls& vexa, const std::vector<StressDocument>& documents);

// Words to give StrSoundEX: Latin and Cyrillic, short and long, empty.
std::vector<std::string> SoundExWords();

// Describes where two outcomes first differ.
std::string Difference(const ParseOutcome& expected, const ParseOutcome& got);

}  // namespace vexa::test
