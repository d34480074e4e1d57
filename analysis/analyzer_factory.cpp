#include "analysis/analyzer_factory.h"

#include <utf8proc.h>

#include "analysis/snowball_stemmers.h"
#include "analysis/trigram_analyzer.h"
#include "analysis/unicode_analyzer.h"
#include "analysis/unicode_folding.h"
#include "analysis/unicode_words.h"
#include "platform/platform.h"

namespace vexa::analysis {
namespace {

bool IsUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  std::size_t at = 0;
  while (at < text.size()) {
    utf8proc_int32_t c = -1;
    const utf8proc_ssize_t length = utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(text.size() - at), &c);
    if (length <= 0 || c == 0) return false;
    at += static_cast<std::size_t>(length);
  }
  return true;
}

// The words of a stop-word file: blank-separated, a line that starts with
// # a comment; each folded as the index folds its words.
std::unordered_set<std::string> ReadStopWords(const std::string& name, const std::string& directory,
                                              bool keepAccents) {
  const std::string path = platform::IsFullLibraryPath(name) ? name : directory + name;
  std::string contents;
  if (!platform::ReadWholeFile(path, contents)) throw AnalyzerError("the stop-word file " + path + " cannot be read");
  if (!IsUtf8(contents)) {
    throw AnalyzerError("the stop-word file " + path + " is not UTF-8 text");
  }
  WordFolder folder(keepAccents);
  std::unordered_set<std::string> words;
  std::size_t at = 0;
  while (at < contents.size()) {
    std::size_t end = contents.find('\n', at);
    if (end == std::string::npos) end = contents.size();
    const std::string_view line = std::string_view(contents).substr(at, end - at);
    if (line.empty() || line.front() != '#') {
      ForEachWordSpan(line, [&](WordSpan span) {
        std::string folded = folder.Fold(line.substr(span.begin, span.end - span.begin));
        if (!folded.empty()) words.insert(std::move(folded));
      });
    }
    at = end + 1;
  }
  return words;
}

}  // namespace

bool HasUnicodeAnalyzer() { return true; }

std::unique_ptr<index::TextAnalyzer> MakeAnalyzer(const AnalyzerChoice& choice, const std::string& directory) {
  if (choice.IsTrigram()) return std::make_unique<TrigramAnalyzer>(choice.keepAccents, choice.keepPositions);
  UnicodeOptions options;
  options.keepAccents = choice.keepAccents;
  if (!choice.stemLanguages.empty()) options.stemmers = std::make_shared<SnowballStemmers>(choice.stemLanguages);
  if (!choice.stopWords.empty()) options.stopWords = ReadStopWords(choice.stopWords, directory, choice.keepAccents);
  return std::make_unique<UnicodeAnalyzer>(std::move(options));
}

}  // namespace vexa::analysis
