#include "test_analyzers.h"

#include <cstring>

#include "config/word_set.h"
#include "tests/harness/word_filters/filter_entry.h"

namespace vexa::index::testing {
namespace {

void VEXA_FILTER_CALL StripFinalS(char* word) {
  const std::size_t length = std::strlen(word);
  if (length > 1 && word[length - 1] == 'S') word[length - 1] = '\0';
}

}  // namespace

TestAnalyzer::TestAnalyzer(int minWordLength, std::vector<std::string> stopWords, std::vector<std::string> tokens) {
  settings_.wordCharacters = ParseWordSet("A..Za..z0..9_\xA8\xB8\xC0..\xFF");
  settings_.minWordLength = minWordLength;
  const std::size_t stopCount = stopWords.size();
  stopWords.insert(stopWords.end(), tokens.begin(), tokens.end());
  if (!stopWords.empty()) settings_.wordTable.Build(stopWords, stopCount);
  coder_ = std::make_unique<TSoundCoder>(settings_.nationalLetters, settings_.translationLetters);
  prefixSettings_ = analysis::SettingsWithoutFilters(settings_);
  analyzer_ = std::make_unique<analysis::Windows1251Analyzer>(settings_, *prefixSettings_, *coder_, TextEncoding::kSingleByte);
}

StemmingTestAnalyzer::StemmingTestAnalyzer() { AddFilter(&StripFinalS); }

}  // namespace vexa::index::testing
