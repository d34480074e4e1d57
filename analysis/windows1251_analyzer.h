// The index's words as the module makes them: a document parser for stored
// words, a query parser without the word filters for prefixes, and the
// module's phonetic code, each word cut to kMaxTermBytes as the database's
// character set allows.
#pragma once

#include <memory>

#include "config/engine_settings.h"
#include "index/text_analyzer.h"
#include "parser/word_cut.h"
#include "phonetic/sound_code.h"

namespace vexa::analysis {

// A copy of `settings` without the word filters: what prefixes are read by.
std::unique_ptr<TEngineSettings> SettingsWithoutFilters(const TEngineSettings& settings);

class Windows1251Analyzer : public index::TextAnalyzer {
 public:
  // Documents are read by `settings`, prefixes by `prefixSettings` (see
  // SettingsWithoutFilters). REQUIRES: they and `coder` outlive this.
  Windows1251Analyzer(const TEngineSettings& settings, const TEngineSettings& prefixSettings, const TSoundCoder& coder,
                      TextEncoding encoding);

  std::int32_t DocumentWords(std::string_view text,
                             const std::function<void(std::string_view word)>& word) const override;
  std::vector<std::string> PrefixWords(std::string_view text) const override;
  std::int32_t SoundCode(std::string_view word) const override;

 private:
  std::string_view Cut(std::string_view word) const {
    return word.substr(0, FittingLength(word, index::kMaxTermBytes, encoding_));
  }

  const TEngineSettings& settings_;
  const TEngineSettings& prefixSettings_;
  const TSoundCoder& coder_;
  TextEncoding encoding_;
};

}  // namespace vexa::analysis
