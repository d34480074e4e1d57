#include "bench/scale/substring_patterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "bench/scale/query_set.h"

namespace vexa::scale {
namespace {

std::size_t Characters(const std::string& utf8) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < utf8.size(); ++count) NextCodePoint(utf8, at);
  return count;
}

std::string AsciiLower(std::string text) {
  for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
  return text;
}

std::size_t Holding(const std::vector<std::string>& documents, const std::string& pattern, bool cyrillicToo) {
  const auto lower = [&](const std::string& text) { return cyrillicToo ? LowerCase(text) : AsciiLower(text); };
  std::size_t count = 0;
  for (const std::string& document : documents) count += lower(document).find(lower(pattern)) != std::string::npos;
  return count;
}

TEST(SubstringPatternsTest, BandsByShareOfDocuments) {
  struct Case {
    std::size_t holding, documents;
    const char* band;
  };
  for (const Case& c : {Case{1, 101, "rare"}, Case{1, 100, "medium"}, Case{4, 81, "medium"}, Case{5, 100, "common"},
                        Case{100, 100, "common"}}) {
    EXPECT_EQ(BandOf(c.holding, c.documents), c.band) << c.holding << " of " << c.documents;
  }
}

// Each pattern is as long as asked, holds nothing a system reads otherwise,
// is found where its cut says, and is held by the documents it counts both
// with every letter's case ignored and with only ASCII letters' (SQLite's
// LIKE), so that every system must find the same documents.
TEST(SubstringPatternsTest, PatternsEverySystemFindsAlike) {
  std::vector<std::string> documents;
  for (int i = 0; i < 400; ++i) {
    std::string text = "Stone" + std::to_string(i % 7) + " river_bank 50% off\tC:\\path ёлка растёт ";
    text += i % 3 == 0 ? "Мир велик. " : "и мир тесен, ";
    text += i % 150 == 0 ? "Quixotic zephyr " : "plain words ";
    text += "q" + std::string(1, static_cast<char>('a' + i / 26)) + std::string(1, static_cast<char>('a' + i % 26)) + "ing Gardening";
    documents.push_back(text);
  }
  PatternChoice choice;
  choice.perCut = 20;
  choice.draws = 400;
  const std::vector<Pattern> patterns = ChoosePatterns(documents, choice);

  std::set<std::string> groups;
  bool cyrillic = false;
  for (const Pattern& pattern : patterns) {
    SCOPED_TRACE(pattern.text);
    groups.insert(std::to_string(pattern.length) + " " + pattern.band + " " + pattern.cut);
    EXPECT_EQ(Characters(pattern.text), pattern.length);
    EXPECT_EQ(pattern.text.find_first_of("%_\\\t"), std::string::npos);
    EXPECT_NE(pattern.text.back(), ' ');
    EXPECT_NE(LowerCase(pattern.text), "мир") << "held in two cases";
    EXPECT_EQ(pattern.documents, Holding(documents, pattern.text, true));
    EXPECT_EQ(pattern.documents, Holding(documents, pattern.text, false));
    EXPECT_EQ(pattern.band, BandOf(pattern.documents, documents.size()));
    const bool found = std::any_of(documents.begin(), documents.end(), [&](const std::string& document) {
      for (std::size_t at = document.find(pattern.text); at != std::string::npos; at = document.find(pattern.text, at + 1)) {
        const bool afterLetter = at > 0 && std::isalpha(static_cast<unsigned char>(document[at - 1])) != 0;
        const bool afterWord = afterLetter || (at > 0 && std::isdigit(static_cast<unsigned char>(document[at - 1])) != 0);
        const bool afterCyrillic = at > 1 && static_cast<unsigned char>(document[at - 2]) >= 0xD0;
        if (pattern.cut == "start" ? !afterWord && !afterCyrillic : afterLetter || afterCyrillic) return true;
      }
      return false;
    });
    EXPECT_TRUE(found) << pattern.cut;
    cyrillic = cyrillic || pattern.text.find("ёлка") != std::string::npos;
  }
  EXPECT_TRUE(cyrillic) << "a Cyrillic word held in one case may be taken";
  for (const char* length : {"3", "5", "10"}) {
    for (const char* band : {"rare", "common"}) {
      EXPECT_TRUE(groups.count(std::string(length) + " " + band + " start")) << length << " " << band;
      EXPECT_TRUE(groups.count(std::string(length) + " " + band + " inside")) << length << " " << band;
    }
  }

  const std::vector<Pattern> again = ParsePatterns(FormatPatterns(ChoosePatterns(documents, choice)));
  ASSERT_EQ(again.size(), patterns.size());
  for (std::size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(FormatPatterns({again[i]}), FormatPatterns({patterns[i]}));
  }
}

}  // namespace
}  // namespace vexa::scale
