// Word lists no one would write on purpose: binary garbage, a million lines,
// lines of 100 KB. The module loads, and every listed word it can find is
// treated as its list says. Which entries the lookup table can never find
// (eight probes, then an entry is left out) is asked of the table built in
// this process from the same bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "config/word_list_file.h"
#include "config/word_lookup_table.h"
#include "host_calls.h"
#include "loaded_module.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

// The lookup table the module builds from these list files.
vexa::TWordLookupTable TableOf(const std::string& stopWords, const std::string& tokens) {
  std::vector<std::string> entries = vexa::SplitListLines(stopWords);
  const std::size_t skipCount = entries.size();
  for (std::string& line : vexa::SplitListLines(tokens)) entries.push_back(std::move(line));
  vexa::TWordLookupTable table;
  table.Build(std::move(entries), skipCount);
  return table;
}

vexa::TWordKind KindOf(const vexa::TWordLookupTable& table, const std::string& word) {
  return table.LookupWord(word.data(), word.size());
}

// The module with these lists and Vexa.ini; the words of `text` from a
// document parser.
Words DocumentWords(const std::string& stopWords, const std::string& tokens, const std::string& text) {
  const LoadedModule module({ExtraFile::Written("Vexa.ini", "[Main]\nMinWordLen=2\n"),
                             ExtraFile::Written("Vexa_skip.lst", stopWords), ExtraFile::Written("Vexa_tkn.lst", tokens)});
  return HostCalls(module.Exports()).Split(text, ParserKind::kDocument);
}

// Random bytes of every value but NUL, line ends among them.
std::string Garbage(std::mt19937& random, std::size_t bytes) {
  std::uniform_int_distribution<int> byte(1, 255);
  std::string text;
  for (std::size_t i = 0; i < bytes; ++i) text.push_back(static_cast<char>(byte(random)));
  return text;
}

TEST(HostileListFiles, BinaryGarbageAroundRealEntries) {
  std::mt19937 random(7);
  const std::string stopWords = Garbage(random, 100000) + "\r\nsentinel\r\n" + Garbage(random, 100000);
  // A NUL ends a list: what follows it is never read.
  const std::string tokens = Garbage(random, 50000) + "\nR&D\n" + Garbage(random, 50000) + std::string(1, '\0') +
                             "\nTCP/IP\n" + Garbage(random, 1000);
  const vexa::TWordLookupTable table = TableOf(stopWords, tokens);
  ASSERT_EQ(KindOf(table, "SENTINEL"), vexa::wkStop) << "choose another seed: the entry found no slot";
  ASSERT_EQ(KindOf(table, "R&D"), vexa::wkToken) << "choose another seed: the entry found no slot";
  for (const char* word : {"TCP/IP", "TCP", "IP", "KEPT"}) ASSERT_EQ(KindOf(table, word), vexa::wkNone) << word;

  EXPECT_EQ(DocumentWords(stopWords, tokens, "sentinel R&D TCP/IP kept"), (Words{"R&D", "TCP", "IP", "KEPT"}));
}

TEST(HostileListFiles, AMillionLines) {
  constexpr int kLines = 1000000;
  std::string stopWords;
  for (int i = 0; i < kLines; ++i) stopWords += "w" + std::to_string(i) + "\n";
  const vexa::TWordLookupTable table = TableOf(stopWords, "");
  ASSERT_EQ(table.Slots().size(), 2u * kLines);

  const Words probes{"W0", "W1", "W123456", "W500000", "W999999", "W1000000", "OTHER"};
  std::string text;
  Words expected;
  for (const std::string& word : probes) {
    text += word + " ";
    if (KindOf(table, word) != vexa::wkStop) expected.push_back(word);
  }
  ASSERT_LT(expected.size(), probes.size()) << "no probe is a stop word the table finds";
  EXPECT_EQ(DocumentWords(stopWords, "", text), expected);
}

TEST(HostileListFiles, LinesOf100Kilobytes) {
  std::string longToken;
  while (longToken.size() < 100000) longToken += "TCP/IP-";
  const std::string longStopWord(100000, 'x');
  const std::string stopWords = longStopWord + "\r\nthe\r\n";
  const std::string tokens = longToken + "\r\nC++\r\n";

  // A listed token written as it stands is one word, cut to 255 bytes like
  // any other; a run longer than 255 bytes is looked up by its first 255,
  // so the long stop word is a word like any other.
  const std::string text = longToken + " the C++ " + longStopWord + " end";
  const Words stored{longToken.substr(0, 255), "C++", std::string(255, 'X'), "END"};
  const LoadedModule module({ExtraFile::Written("Vexa.ini", ""), ExtraFile::Written("Vexa_skip.lst", stopWords),
                             ExtraFile::Written("Vexa_tkn.lst", tokens)});
  const HostCalls vexa(module.Exports());
  EXPECT_EQ(vexa.CrcOf(text, ParserKind::kDocument), StreamCrcOf(stored));
  EXPECT_EQ(vexa.Split(text, ParserKind::kDocument),
            (Words{longToken.substr(0, 31), "C++", std::string(31, 'X'), "END"}));
}

}  // namespace
}  // namespace vexa::test
