// The module as the benchmark loads it, in each configuration, all three
// copies loaded at once as vexa_bench has them: each must parse by its own
// Vexa.ini, lists and filter.
#include "bench/module_setup/vexa_module.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace vexa::bench {
namespace {

const WordLists kLists{{"THE", "AND"}, {"TCP/IP", "LORD,"}};
const std::string kText = "The LORD, walking and TCP/IP dogs, lord, runs quickly.";

std::vector<std::string> ParsedWords(const VexaExports& vexa, const std::string& text) {
  const std::int32_t handle = vexa.Parser_Create();
  if (handle == 0 || vexa.Parser_Add(&handle, text.c_str()) != 1 || vexa.Parser_Reset(&handle) != 1) {
    throw std::runtime_error("the parser refused the text");
  }
  std::vector<std::string> words;
  for (;;) {
    char* word = vexa.Parser_Next(&handle);
    if (word == nullptr) throw std::runtime_error("Parser_Next returned no string");
    const std::string kept = word;
    std::free(word);
    if (kept.empty()) break;
    words.push_back(kept);
  }
  vexa.Parser_Free(&handle);
  return words;
}

class VexaModuleTest : public ::testing::Test {
 protected:
  VexaModule noLists{VEXA_MODULE_FILE, LayoutFor(ModuleConfiguration::kNoLists, kLists, VEXA_SUFFIX_FILTER_FILE)};
  VexaModule wordLists{VEXA_MODULE_FILE, LayoutFor(ModuleConfiguration::kWordLists, kLists, VEXA_SUFFIX_FILTER_FILE)};
  VexaModule withFilter{VEXA_MODULE_FILE,
                        LayoutFor(ModuleConfiguration::kWordListsAndFilter, kLists, VEXA_SUFFIX_FILTER_FILE)};
};

TEST_F(VexaModuleTest, EachCopyHasADirectoryOfItsOwnWithItsFiles) {
  EXPECT_NE(noLists.Directory(), wordLists.Directory());
  EXPECT_NE(wordLists.Directory(), withFilter.Directory());
  EXPECT_TRUE(std::filesystem::exists(noLists.Directory() / "Vexa.ini"));
  EXPECT_FALSE(std::filesystem::exists(noLists.Directory() / "Vexa_skip.lst"));
  EXPECT_TRUE(std::filesystem::exists(wordLists.Directory() / "Vexa_skip.lst"));
  EXPECT_TRUE(std::filesystem::exists(wordLists.Directory() / "Vexa_tkn.lst"));
  EXPECT_TRUE(std::filesystem::exists(withFilter.Directory() / "SuffixFilter.so"));
}

TEST_F(VexaModuleTest, WithoutListsEveryRunIsAWord) {
  EXPECT_EQ(ParsedWords(noLists.Exports(), kText), (std::vector<std::string>{"THE", "LORD", "WALKING", "AND", "TCP",
                                                                             "IP", "DOGS", "LORD", "RUNS", "QUICKLY"}));
}

TEST_F(VexaModuleTest, WithListsStopWordsGoAndTokensStayWhole) {
  EXPECT_EQ(ParsedWords(wordLists.Exports(), kText),
            (std::vector<std::string>{"LORD,", "WALKING", "TCP/IP", "DOGS", "LORD", "RUNS", "QUICKLY"}));
}

TEST_F(VexaModuleTest, WithTheFilterOrdinaryWordsLoseTheirSuffixes) {
  EXPECT_EQ(ParsedWords(withFilter.Exports(), kText),
            (std::vector<std::string>{"LORD,", "WALK", "TCP/IP", "DOG", "LORD", "RUN", "QUICK"}));
}

}  // namespace
}  // namespace vexa::bench
