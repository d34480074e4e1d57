#include "analysis/analyzer_choice.h"

#include <cctype>

namespace vexa::analysis {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::vector<std::string_view> BlankSeparated(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    std::size_t end = at;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    if (end > at) items.push_back(text.substr(at, end - at));
    at = end;
  }
  return items;
}

// The version after the name's slash; `current` when there is none.
int VersionOf(std::string_view name, std::string_view version, int current) {
  if (version.empty()) return current;
  int value = 0;
  for (const char c : version) {
    if (c < '0' || c > '9' || value > 1000) throw AnalyzerError("the analyzer version '" + std::string(version) + "' is not a number");
    value = value * 10 + (c - '0');
  }
  if (value != current) {
    throw AnalyzerError("this module has version " + std::to_string(current) + " of the " + std::string(name) +
                        " analyzer, not version " + std::to_string(value) +
                        ": rebuild the index with FT_REBUILD and an analyzer this module has");
  }
  return value;
}

void ReadStemLanguages(std::string_view value, AnalyzerChoice& choice) {
  std::size_t at = 0;
  for (;;) {
    const std::size_t plus = value.find('+', at);
    const std::string language = Lower(value.substr(at, plus == std::string_view::npos ? value.npos : plus - at));
    if (language.empty()) throw AnalyzerError("stem= names no language where one should be: '" + std::string(value) + "'");
    for (const std::string& seen : choice.stemLanguages) {
      if (seen == language) throw AnalyzerError("stem= names " + language + " twice");
    }
    choice.stemLanguages.push_back(language);
    if (plus == std::string_view::npos) break;
    at = plus + 1;
  }
}

}  // namespace

std::string AnalyzerChoice::Canonical() const {
  if (IsWindows1251()) return std::string(kWindows1251Analyzer) + "/" + std::to_string(kWindows1251Version);
  if (IsTrigram()) {
    return std::string(kTrigramAnalyzer) + "/" + std::to_string(kTrigramVersion) + (keepAccents ? "" : " accents=remove") +
           (keepPositions ? " positions=keep" : "");
  }
  std::string text = std::string(kUnicodeAnalyzer) + "/" + std::to_string(kUnicodeVersion);
  if (keepAccents) text += " accents=keep";
  if (!stemLanguages.empty()) {
    text += " stem=";
    for (std::size_t i = 0; i < stemLanguages.size(); ++i) text += (i > 0 ? "+" : "") + stemLanguages[i];
  }
  if (!stopWords.empty()) text += " stopwords=" + stopWords;
  return text;
}

AnalyzerChoice ParseAnalyzerChoice(std::string_view text) {
  const std::vector<std::string_view> items = BlankSeparated(text);
  if (items.empty()) throw AnalyzerError("the analyzer text names no analyzer (win1251 or unicode)");
  AnalyzerChoice choice;
  const std::string_view first = items.front();
  const std::size_t slash = first.find('/');
  choice.name = Lower(first.substr(0, slash));
  const std::string_view version = slash == std::string_view::npos ? std::string_view() : first.substr(slash + 1);
  if (choice.name == kWindows1251Analyzer) {
    VersionOf(choice.name, version, kWindows1251Version);
    if (items.size() > 1) {
      throw AnalyzerError("the win1251 analyzer takes no options (Vexa.ini configures it), not '" +
                          std::string(items[1]) + "'");
    }
    return choice;
  }
  if (choice.name != kUnicodeAnalyzer && choice.name != kTrigramAnalyzer) {
    throw AnalyzerError("there is no analyzer named '" + std::string(first.substr(0, slash)) +
                        "' (there are win1251, unicode and trigram)");
  }
  const bool trigram = choice.IsTrigram();
  VersionOf(choice.name, version, trigram ? kTrigramVersion : kUnicodeVersion);
  choice.keepAccents = trigram;
  bool sawAccents = false;
  bool sawPositions = false;
  for (std::size_t i = 1; i < items.size(); ++i) {
    const std::string_view item = items[i];
    const std::size_t equals = item.find('=');
    const std::string option = Lower(item.substr(0, equals));
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
    if (equals == std::string_view::npos || value.empty()) {
      throw AnalyzerError("the option '" + std::string(item) + "' has no value (write option=value)");
    }
    if (option == "accents" && !sawAccents) {
      const std::string lower = Lower(value);
      if (lower != "keep" && lower != "remove") {
        throw AnalyzerError("accents= is keep or remove, not '" + std::string(value) + "'");
      }
      choice.keepAccents = lower == "keep";
      sawAccents = true;
    } else if (trigram && option == "positions" && !sawPositions) {
      const std::string lower = Lower(value);
      if (lower != "keep" && lower != "remove") {
        throw AnalyzerError("positions= is keep or remove, not '" + std::string(value) + "'");
      }
      choice.keepPositions = lower == "keep";
      sawPositions = true;
    } else if (trigram && option != "accents" && option != "positions") {
      throw AnalyzerError("the trigram analyzer has no option '" + std::string(item.substr(0, equals)) +
                          "' (it has accents= and positions=)");
    } else if (option == "stem" && choice.stemLanguages.empty()) {
      ReadStemLanguages(value, choice);
    } else if (option == "stopwords" && choice.stopWords.empty()) {
      choice.stopWords = std::string(value);
    } else if (option == "accents" || option == "stem" || option == "stopwords" || (trigram && option == "positions")) {
      throw AnalyzerError("the option " + option + " is given twice");
    } else {
      throw AnalyzerError("the unicode analyzer has no option '" + std::string(item.substr(0, equals)) +
                          "' (it has accents=, stem= and stopwords=)");
    }
  }
  return choice;
}

}  // namespace vexa::analysis
