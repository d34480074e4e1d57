// Splitting text into words with the built-in settings (no Vexa.ini): the
// word characters are 0-9 A-Z a-z _, a document parser drops words shorter
// than 2, a query parser keeps them; every word is upper-cased. Each row is
// checked by the words read back and by the CRC of the stream they make.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "module_test.h"
#include "word_records.h"

namespace vexa::test {
namespace {

using Words = std::vector<std::string>;

struct SplitCase {
  const char* name;
  std::string text;
  Words documentWords;
  Words queryWords;
};

void PrintTo(const SplitCase& row, std::ostream* out) { *out << row.name; }

const SplitCase kSplitCases[] = {
    {"EmptyText", "", {}, {}},
    {"BlanksAndPunctuationOnly", " \t\r\n,.;:!?-()[]\"'/@#$%^&*+=<>|~` ", {}, {}},
    {"Sentence", "The quick-brown fox", {"THE", "QUICK", "BROWN", "FOX"}, {"THE", "QUICK", "BROWN", "FOX"}},
    {"MixedCase", "MiXeD cAsE words", {"MIXED", "CASE", "WORDS"}, {"MIXED", "CASE", "WORDS"}},
    {"OneByteWords", "a I x9 b", {"X9"}, {"A", "I", "X9", "B"}},
    {"DigitsAndUnderscore", "_ 42 snake_case 7 __", {"42", "SNAKE_CASE", "__"}, {"_", "42", "SNAKE_CASE", "7", "__"}},
    {"PunctuationSplitsRuns", "e-mail: user@host.org", {"MAIL", "USER", "HOST", "ORG"},
     {"E", "MAIL", "USER", "HOST", "ORG"}},
    {"ControlBytesSplitRuns", "one\ttwo\nthree\r\nfour\x01" "five\x1Fsix", {"ONE", "TWO", "THREE", "FOUR", "FIVE", "SIX"},
     {"ONE", "TWO", "THREE", "FOUR", "FIVE", "SIX"}},
    // Bytes 0x80..0xFF are no word characters by default: Cyrillic letters
    // of Windows-1251 split runs and never appear in a word.
    {"CyrillicBytesSplitRuns", "ab\xE0\xE1\xE2" "cd \xC8\xE2\xE0\xED\xEE\xE2 x\xB8y", {"AB", "CD"}, {"AB", "CD", "X", "Y"}},
    {"CyrillicOnly", "\xE6\xE8\xE2\xEE\xE9 \xB8\xEB\xEA\xE0 \xA8\xC6", {}, {}},
    {"HighBytesSplitRuns", "caf\xE9 na\xEFve \x80\xFF" "zz\xA0qq", {"CAF", "NA", "VE", "ZZ", "QQ"},
     {"CAF", "NA", "VE", "ZZ", "QQ"}},
    {"RepeatedWordsAreAllKept", "to be or not to be", {"TO", "BE", "OR", "NOT", "TO", "BE"},
     {"TO", "BE", "OR", "NOT", "TO", "BE"}},
};

class SplittingTest : public ModuleTestWithParam<SplitCase> {};

TEST_P(SplittingTest, DocumentParser) {
  const SplitCase& row = GetParam();
  EXPECT_EQ(vexa_.Split(row.text, ParserKind::kDocument), row.documentWords);
  EXPECT_EQ(vexa_.CrcOf(row.text, ParserKind::kDocument), StreamCrcOf(row.documentWords));
}

TEST_P(SplittingTest, QueryParser) {
  const SplitCase& row = GetParam();
  EXPECT_EQ(vexa_.Split(row.text, ParserKind::kQuery), row.queryWords);
  EXPECT_EQ(vexa_.CrcOf(row.text, ParserKind::kQuery), StreamCrcOf(row.queryWords));
}

INSTANTIATE_TEST_SUITE_P(Texts, SplittingTest, ::testing::ValuesIn(kSplitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& row) { return row.param.name; });

// Without Vexa.ini no word list is read, even when one lies beside the module.
TEST(WordListsWithoutConfiguration, ListsBesideTheModuleAreNotRead) {
  const LoadedModule module({ExtraFile::Written("Vexa_skip.lst", "the\nand\n"),
                             ExtraFile::Written("Vexa_tkn.lst", "r&d\n")});
  const HostCalls vexa(module.Exports());
  EXPECT_EQ(vexa.Split("the R&D and", ParserKind::kDocument), (Words{"THE", "AND"}));
}

}  // namespace
}  // namespace vexa::test
