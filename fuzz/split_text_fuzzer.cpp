// Text splitting under a fuzzed configuration. The input is carved into
// fields (input_fields.h):
//   options      'q' makes a query parser; each of s e l n x t adds a filter,
//                in that order (strip a final S, empty odd-length words,
//                lengthen to 255 bytes, fill the buffer without a NUL (the
//                last filter taken),
//                small first letter, throw on words starting with T);
//   MinWordLen   read as Vexa.ini reads it (2 when not valid);
//   WordSet      read as Vexa.ini reads it (the built-in set when empty);
//   stop words   list-file text;
//   tokens       list-file text;
//   text         the rest, up to its first NUL.
// Whatever the input, the stream must be whole records that WordCount
// counts and that reading gives back; a document parser's words must be
// among the query parser's, in order; without filters no stored word may be
// a stop word, and a word shorter than the minimum must be a token.
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "config/engine_settings.h"
#include "config/word_list_file.h"
#include "config/word_set.h"
#include "input_fields.h"
#include "parser/parser.h"
#include "platform/platform.h"

namespace {

using Words = std::vector<std::string>;

constexpr std::size_t kMostFilters = 8;
constexpr std::size_t kBufferSize = 256;

void StripFinalS(char* word) {
  const std::size_t length = std::strlen(word);
  if (length > 1 && word[length - 1] == 'S') word[length - 1] = '\0';
}
void EmptyOddLength(char* word) {
  if (std::strlen(word) % 2 == 1) word[0] = '\0';
}
void LengthenToTheBrim(char* word) {
  std::size_t length = std::strlen(word);
  while (length < kBufferSize - 1) word[length++] = '+';
  word[length] = '\0';
}
void FillWithoutNul(char* word) { std::memset(word, 'Z', kBufferSize); }
void SmallFirstLetter(char* word) {
  if (word[0] >= 'A' && word[0] <= 'Z') word[0] = static_cast<char>(word[0] - 'A' + 'a');
}
void ThrowOnT(char* word) {
  if (word[0] == 'T') throw std::runtime_error("filter failed");
}

vexa::TProcessWordProc FilterOf(char option) {
  switch (option) {
    case 's': return &StripFinalS;
    case 'e': return &EmptyOddLength;
    case 'l': return &LengthenToTheBrim;
    case 'n': return &FillWithoutNul;
    case 'x': return &SmallFirstLetter;
    case 't': return &ThrowOnT;
    default: return nullptr;
  }
}

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "split_text_fuzzer: %s\n", what);
    std::abort();
  }
}

// The stream's records, checked whole, and the same words read back.
Words CheckedWords(vexa::TParser& parser) {
  const vexa::TWordStream& stream = parser.WordStream();
  Words records;
  std::size_t at = 0;
  while (at < stream.Size()) {
    Require(stream.Size() - at >= 4, "a length field runs past the end of the stream");
    const unsigned char* field = stream.Data() + at;
    const std::size_t length = std::size_t{field[0]} | std::size_t{field[1]} << 8 | std::size_t{field[2]} << 16 |
                               std::size_t{field[3]} << 24;
    at += 4;
    Require(length >= 1 && length <= vexa::TWordStream::kMaxWordLength, "a record of length 0 or over 255");
    Require(length <= stream.Size() - at, "a record runs past the end of the stream");
    records.emplace_back(reinterpret_cast<const char*>(stream.Data() + at), length);
    Require(records.back().find('\0') == std::string::npos, "a word holds a NUL");
    at += length;
  }
  Require(records.size() == static_cast<std::size_t>(parser.WordCount()), "WordCount differs from the records");

  const std::uint32_t crc = parser.CRC();
  parser.Reset();
  for (const std::string& record : records) Require(parser.NextWord() == record, "reading differs from the records");
  Require(parser.NextWord().empty() && parser.NextWord().empty(), "reading goes on past the last record");
  Require(parser.CRC() == crc, "reading changed the CRC");
  return records;
}

bool IsSubsequence(const Words& part, const Words& whole) {
  std::size_t at = 0;
  for (const std::string& word : whole) {
    if (at < part.size() && part[at] == word) ++at;
  }
  return at == part.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexa::fuzz::InputFields fields(data, size);
  const std::string_view options = fields.Next();
  const std::string_view minimum = fields.Next();
  const std::string_view wordSet = fields.Next();
  const std::string_view stopWords = fields.Next();
  const std::string_view tokens = fields.Next();
  const std::string text(fields.Rest());

  vexa::TEngineSettings settings;
  settings.minWordLength = vexa::ParseConfigInteger(minimum).value_or(vexa::kBuiltInMinWordLength);
  if (!wordSet.empty()) settings.wordCharacters = vexa::ParseWordSet(wordSet);
  std::vector<std::string> entries = vexa::SplitListLines(stopWords);
  const std::size_t skipCount = entries.size();
  for (std::string& line : vexa::SplitListLines(tokens)) entries.push_back(std::move(line));
  settings.wordTable.Build(std::move(entries), skipCount);
  bool isQuery = false;
  for (char option : options.substr(0, kMostFilters)) {
    if (option == 'q') isQuery = true;
    if (vexa::TProcessWordProc filter = FilterOf(option)) settings.filters.Add(vexa::TFilterEntry{nullptr, filter});
    // A filter after one that leaves no NUL would read past the buffer: the
    // fault of that pair of filters, which the module cannot prevent.
    if (option == 'n') break;
  }

  vexa::TParser document(false, settings);
  vexa::TParser query(true, settings);
  document.AddText(text.c_str());
  query.AddText(text.c_str());
  const Words documentWords = CheckedWords(document);
  const Words queryWords = CheckedWords(query);
  Require(IsSubsequence(documentWords, queryWords), "a document word is not among the query words");

  if (settings.filters.IsEmpty() && !isQuery) {
    const vexa::TWordLookupTable& table = settings.wordTable;
    for (const std::string& word : documentWords) {
      if (word.size() == vexa::TWordStream::kMaxWordLength) continue;  // cut: looked up as cut
      std::string upper = word;
      vexa::platform::UpperCase(upper.data(), upper.size());
      Require(upper == word, "a word is not upper-cased");
      const vexa::TWordKind kind = table.LookupWord(word.data(), word.size());
      Require(kind != vexa::wkStop, "a document parser kept a stop word");
      Require(static_cast<std::int64_t>(word.size()) >= settings.minWordLength || kind == vexa::wkToken,
              "a document parser kept a short word that is no token");
    }
  }
  return 0;
}
