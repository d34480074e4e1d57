#include "config/configuration.h"

#include "config/trim.h"
#include "config/word_set.h"

namespace vexa {
namespace {

std::string TrimmedString(const std::string& text) { return std::string(Trimmed(text)); }

}  // namespace

void ReadConfiguration(const TConfigFile& config, const std::string& libraryDirectory, TEngineSettings& settings) {
  std::string national = TrimmedString(config.GetString("SoundEx", "NationSet", ""));
  std::string translation = TrimmedString(config.GetString("SoundEx", "Translate", ""));
  // The two are paired by position: the longer is cut to the shorter.
  if (national.size() > translation.size()) {
    national.resize(translation.size());
  } else {
    translation.resize(national.size());
  }
  settings.nationalLetters = std::move(national);
  settings.translationLetters = std::move(translation);

  settings.minWordLength = config.GetInteger("Main", "MinWordLen", kMinWordLenKeyDefault);

  std::string wordSet = TrimmedString(config.GetString("Main", "WordSet", kDefaultWordSet));
  if (wordSet.empty()) wordSet = kDefaultWordSet;
  settings.wordCharacters = ParseWordSet(wordSet);

  LoadFilters(config, libraryDirectory, settings.filters);
  LoadWordLists(libraryDirectory, settings.wordTable);
}

}  // namespace vexa
