#include "test_analyzers.h"

#include "config/word_set.h"

namespace vexa::index::testing {

TestAnalyzer::TestAnalyzer(int minWordLength, std::vector<std::string> stopWords, std::vector<std::string> tokens) {
  settings_.wordCharacters = ParseWordSet("A..Za..z0..9_\xA8\xB8\xC0..\xFF");
  settings_.minWordLength = minWordLength;
  const std::size_t stopCount = stopWords.size();
  stopWords.insert(stopWords.end(), tokens.begin(), tokens.end());
  if (!stopWords.empty()) settings_.wordTable.Build(stopWords, stopCount);
  coder_ = std::make_unique<TSoundCoder>(settings_.nationalLetters, settings_.translationLetters);
  analyzer_ = std::make_unique<ParserAnalyzer>(settings_, *coder_, TextEncoding::kSingleByte);
}

}  // namespace vexa::index::testing
