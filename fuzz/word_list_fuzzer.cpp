// Word-list files and the lookup table built over them. The input is carved
// into fields (input_fields.h): the stop-word list, then the token list (the
// rest). The lines must be the text's bytes up to its first NUL, cut at CR LF,
// CR or LF; the table must have two slots an entry, store each entry trimmed
// and upper-cased, and find every entry it did not leave out as the kind of
// that entry's first occurrence.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "config/word_list_file.h"
#include "config/word_lookup_table.h"
#include "input_fields.h"
#include "platform/platform.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "word_list_fuzzer: %s\n", what);
    std::abort();
  }
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The lines, checked against the text they came from.
std::vector<std::string> CheckedLines(std::string_view text) {
  const std::vector<std::string> lines = vexa::SplitListLines(text);
  text = text.substr(0, text.find('\0'));
  std::size_t at = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Require(text.compare(at, lines[i].size(), lines[i]) == 0, "a line differs from the text");
    at += lines[i].size();
    if (at == text.size()) {
      Require(i + 1 == lines.size(), "lines after the end of the text");
      break;
    }
    Require(IsLineEnd(text[at]), "a line ends without a line end");
    at += text.compare(at, 2, "\r\n") == 0 ? 2 : 1;
  }
  Require(at == text.size(), "the lines leave part of the text out");
  return lines;
}

bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexa::fuzz::InputFields fields(data, size);
  const std::string_view stopText = fields.Next();
  std::vector<std::string> entries = CheckedLines(stopText);
  const std::size_t skipCount = entries.size();
  for (std::string& line : CheckedLines(fields.Rest())) entries.push_back(std::move(line));
  const std::vector<std::string> raw = entries;

  vexa::TWordLookupTable table;
  table.Build(std::move(entries), skipCount);
  const std::vector<std::string>& words = table.Words();
  Require(words.size() == raw.size(), "the word list lost or gained entries");
  Require(table.Slots().size() == 2 * raw.size(), "not two slots an entry");

  std::vector<bool> reachable(words.size(), true);
  for (std::size_t index : table.UnreachableEntries()) reachable[index] = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    Require(word.size() <= raw[i].size(), "an entry grew");
    Require(word.empty() || (!IsBlankByte(word.front()) && !IsBlankByte(word.back())), "an entry is not trimmed");
    if (word.empty()) continue;
    std::string upper = word;
    vexa::platform::UpperCase(upper.data(), upper.size());
    Require(upper == word, "an entry is not upper-cased");
    std::size_t first = 0;
    while (words[first] != word) ++first;
    if (!reachable[first]) continue;
    const vexa::TWordKind expected = first < skipCount ? vexa::wkStop : vexa::wkToken;
    Require(table.LookupWord(word.data(), word.size()) == expected, "an entry is found as another kind");
  }
  return 0;
}
