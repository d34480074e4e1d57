#include "stress_documents.h"

#include <algorithm>
#include <random>
#include <sstream>

#include "recording_blob.h"

namespace vexa::test {
namespace {

const char* const kWordPool[] = {
    "the", "The", "THE", "and", "of", "to", "in", "is", "books", "papers", "lists", "index", "server", "threads",
    "TCP/IP", "tcp/ip", "C++", "c++", "R&D", "A.B.C.", "snake_case", "x9", "42", "ab", "a", "quick-brown",
    "e-mail:", "user@host.org", "\xE8", "\xED\xE5", "\xED\xE0", "\xF7\xF2\xEE", "\xD1\xD1\xD1\xD0",
    "\xEF\xF0\xE8\xE2\xE5\xF2", "\xB8\xEB\xEA\xE0", "\xC8\xE2\xE0\xED\xEE\xE2", "\xCC\xEE\xF1\xEA\xE2\xE0",
    "\xF1\xEB\xEE\xE2\xE0", "caf\xE9", "na\xEFve"};
const char* const kSeparators[] = {" ", " ", " ", ", ", ". ", "\r\n", "\t", " - ", "; ", "\n\n"};

std::string RandomText(std::mt19937& random, std::size_t words) {
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kWordPool) - 1);
  std::uniform_int_distribution<std::size_t> separator(0, std::size(kSeparators) - 1);
  std::uniform_int_distribution<int> rare(0, 199);
  std::string text;
  for (std::size_t i = 0; i < words; ++i) {
    if (rare(random) == 0) {
      text += std::string(300, static_cast<char>('a' + i % 26));  // cut to 255 bytes in the stream
    } else {
      text += kWordPool[pick(random)];
    }
    text += kSeparators[separator(random)];
  }
  return text;
}

}  // namespace

std::vector<StressDocument> StressDocuments(std::size_t count) {
  std::mt19937 random(20240611u);
  std::uniform_int_distribution<std::size_t> length(5, 150);
  const std::size_t segments[] = {1, 7, 100, 4096, 65535};
  std::vector<StressDocument> documents;
  for (std::size_t i = 0; i < count; ++i) {
    StressDocument document;
    document.kind = i % 3 == 2 ? ParserKind::kQuery : ParserKind::kDocument;
    document.first = RandomText(random, length(random));
    document.blob = RandomText(random, length(random));
    document.blobSegment = segments[i % std::size(segments)];
    document.last = RandomText(random, i % 16 == 0 ? 1000 : 10);
    documents.push_back(std::move(document));
  }
  return documents;
}

ParseOutcome FeedAndRead(const HostCalls& vexa, std::int32_t handle, const StressDocument& document) {
  ParseOutcome outcome;
  RecordingBlob blob(document.blob, document.blobSegment);
  const vexa::host::BlobCallback record =
      blob.Record(static_cast<std::int32_t>(document.blobSegment), static_cast<std::int32_t>(document.blob.size()));
  if (vexa.Add(handle, document.first) != 1 || vexa.AddBlob(handle, &record) != 1 ||
      vexa.Add(handle, document.last) != 1 || vexa.Reset(handle) != 1) {
    return outcome;
  }
  outcome.words = vexa.ReadAll(handle);
  outcome.crc = vexa.Crc(handle);
  return outcome;
}

std::vector<ParseOutcome> SingleThreadedOutcomes(const HostCalls& vexa, const std::vector<StressDocument>& documents) {
  std::vector<ParseOutcome> outcomes;
  for (const StressDocument& document : documents) {
    const std::int32_t handle = vexa.Create(document.kind);
    outcomes.push_back(FeedAndRead(vexa, handle, document));
    vexa.Free(handle);
  }
  return outcomes;
}

std::vector<std::string> SoundExWords() {
  return {"", "Robert", "Rupert", "Ashcraft", "Pfister", "Lloyd", "1-Rupert", "BDLMRT", "Strength",
          "\xC3\xEE\xE3\xEE\xEB\xFC", "\xDE\xF0\xFC\xE5\xE2", "\xCE\xE1\xFA\xB8\xEC", "\xB8\xE6\xE8\xEA",
          std::string(5000, 'w'), "SS-SSS", "SASASA", "x"};
}

std::string Difference(const ParseOutcome& expected, const ParseOutcome& got) {
  std::ostringstream out;
  out << std::hex << "crc " << expected.crc << " expected, " << got.crc << " got; " << std::dec << expected.words.size()
      << " words expected, " << got.words.size() << " got";
  const auto mismatch = std::mismatch(expected.words.begin(), expected.words.end(), got.words.begin(), got.words.end());
  if (mismatch.first != expected.words.end() || mismatch.second != got.words.end()) {
    out << "; first difference at word " << (mismatch.first - expected.words.begin());
  }
  return out.str();
}

}  // namespace vexa::test
