#include "analysis/windows1251_analyzer.h"

#include <string>

#include "parser/parser.h"

namespace vexa::analysis {
namespace {

// The text up to its first NUL, with the NUL the parser reads it by.
std::string Terminated(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

}  // namespace

std::unique_ptr<TEngineSettings> SettingsWithoutFilters(const TEngineSettings& settings) {
  auto copy = std::make_unique<TEngineSettings>();
  copy->wordCharacters = settings.wordCharacters;
  copy->minWordLength = settings.minWordLength;
  copy->nationalLetters = settings.nationalLetters;
  copy->translationLetters = settings.translationLetters;
  copy->wordTable = settings.wordTable;
  return copy;
}

Windows1251Analyzer::Windows1251Analyzer(const TEngineSettings& settings, const TEngineSettings& prefixSettings,
                                         const TSoundCoder& coder, TextEncoding encoding)
    : settings_(settings), prefixSettings_(prefixSettings), coder_(coder), encoding_(encoding) {}

std::int32_t Windows1251Analyzer::DocumentWords(std::string_view text,
                                                const std::function<void(std::string_view word)>& word) const {
  TParser parser(false, settings_);
  parser.AddText(Terminated(text).c_str());
  parser.Reset();
  for (std::string_view next = parser.NextWord(); !next.empty(); next = parser.NextWord()) word(Cut(next));
  return static_cast<std::int32_t>(parser.CRC());
}

std::vector<std::string> Windows1251Analyzer::PrefixWords(std::string_view text) const {
  TParser parser(true, prefixSettings_);
  parser.AddText(Terminated(text).c_str());
  parser.Reset();
  std::vector<std::string> words;
  for (std::string_view next = parser.NextWord(); !next.empty(); next = parser.NextWord())
    words.emplace_back(Cut(next));
  return words;
}

std::int32_t Windows1251Analyzer::SoundCode(std::string_view word) const {
  return coder_.Code(Terminated(word).c_str());
}

}  // namespace vexa::analysis
