// An index's analyzer as a user names it and as the index records it: a
// name, its version and its options, in one short text.
//
//   win1251                 the module's own words: Vexa.ini, its word lists
//                           and filters, in the 8-bit code page
//   unicode [accents=keep|remove] [stem=LANGUAGE[+LANGUAGE...]]
//           [stopwords=FILE]
//                           words of any language, read as UTF-8
//   trigram [accents=keep|remove] [positions=keep|remove]
//                           a substring index: each text three characters
//                           at a time, upper-cased as CONTAINING folds case,
//                           accents kept unless removed; which documents
//                           hold each trigram, or with positions=keep also
//                           where (a larger index that finds a long pattern
//                           without reading the texts)
//
// Names and option names are read in either case. A stored text carries
// the version after a slash (unicode/1): what an index was made with is
// read back as it was, and a version this module does not know is refused.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::analysis {

inline constexpr const char* kWindows1251Analyzer = "win1251";
inline constexpr const char* kUnicodeAnalyzer = "unicode";
inline constexpr const char* kTrigramAnalyzer = "trigram";
// The versions of the analyzers' words. A change to the words an analyzer
// makes of some text gives it a new version.
inline constexpr int kWindows1251Version = 1;
inline constexpr int kUnicodeVersion = 1;
inline constexpr int kTrigramVersion = 1;

// A text that names no analyzer this module has, or options it does not take.
class AnalyzerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct AnalyzerChoice {
  std::string name = kUnicodeAnalyzer;
  bool keepAccents = false;
  bool keepPositions = false;  // of a trigram index
  // Snowball's names (english, russian, ...): a word goes to the first
  // whose alphabet it is written in.
  std::vector<std::string> stemLanguages;
  // A UTF-8 file of words to leave out; a relative name is looked for in
  // the module's directory.
  std::string stopWords;

  bool IsWindows1251() const { return name == kWindows1251Analyzer; }
  bool IsTrigram() const { return name == kTrigramAnalyzer; }
  // The text an index records: name/version, then the options that differ
  // from the defaults, in a fixed order. Parse(Canonical()) gives it back.
  std::string Canonical() const;
};

// Throws AnalyzerError naming what is wrong.
AnalyzerChoice ParseAnalyzerChoice(std::string_view text);

}  // namespace vexa::analysis
