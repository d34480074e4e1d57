// The analyzers the engine's tests index with: the module's own parser,
// configured in process as Vexa.ini would configure it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/engine_settings.h"
#include "analysis/windows1251_analyzer.h"
#include "phonetic/sound_code.h"

namespace vexa::index::testing {

// Settings, a phonetic coder and the analyzer over them.
class TestAnalyzer {
 public:
  // Latin and Windows-1251 Cyrillic letters and digits, words of at least
  // `minWordLength` bytes, the stop words and tokens given.
  explicit TestAnalyzer(int minWordLength = 3, std::vector<std::string> stopWords = {"the", "of", "and", "a", "an"},
                        std::vector<std::string> tokens = {"TCP/IP", "C++"});

  const TextAnalyzer& Get() const { return *analyzer_; }
  operator const TextAnalyzer&() const { return *analyzer_; }

 protected:
  // Adds a word filter, as a plug-in listed in Vexa.ini would be.
  void AddFilter(TProcessWordProc filter) { settings_.filters.Add(TFilterEntry{nullptr, filter}); }

 private:
  TEngineSettings settings_;
  std::unique_ptr<TEngineSettings> prefixSettings_;
  std::unique_ptr<TSoundCoder> coder_;
  std::unique_ptr<analysis::Windows1251Analyzer> analyzer_;
};

// The default TestAnalyzer with a word filter that strips a final S, as a
// stemming filter would: DOGS is stored as DOG.
class StemmingTestAnalyzer : public TestAnalyzer {
 public:
  StemmingTestAnalyzer();
};

}  // namespace vexa::index::testing
