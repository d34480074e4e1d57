// The analyzers of the UDR routines: the module's own (its configuration,
// Windows-1251 words), cut as the database's character set allows, and the
// analyzers an index records by name (analysis/analyzer_choice.h), each made
// once for the module and shared by every attachment.
#pragma once

#include <string>

#include "config/engine_settings.h"
#include "frame/udr/udr_module.h"
#include "index/text_analyzer.h"
#include "parser/word_cut.h"

namespace vexa::udr {

// The configuration without its word filters.
const TEngineSettings& PrefixSettings();

const index::TextAnalyzer& ModuleAnalyzer(TextEncoding encoding);

// The analyzer of an index, and what it reads texts as.
struct IndexAnalyzer {
  const index::TextAnalyzer* words = nullptr;
  bool readsUtf8 = false;  // false: texts go in as the database holds them
  std::string name;        // as the index records it (empty: win1251, as made before names)
};

// The analyzer an index records (`stored`; empty for the module's own), in a
// database of character set `databaseCharset`. Throws a RoutineError naming
// the index when this module has no such analyzer.
IndexAnalyzer AnalyzerOfIndex(const std::string& indexName, const std::string& stored,
                              const std::string& databaseCharset);

// What an index records for the analyzer a user named (`typed`); for none,
// the default of a database of `databaseCharset`: unicode in a UTF8
// database, the module's own in any other. Throws a RoutineError when the
// name, an option, a stemmer or a stop-word file is wrong.
std::string RecordedAnalyzerName(const std::string& typed, const std::string& databaseCharset);

// `text`, of the engine's character set `charset`, as `analyzer` reads it:
// unchanged, or as UTF-8 for a Unicode analyzer (WIN1251 converted; UTF8,
// UNICODE_FSS, ASCII, NONE and OCTETS taken as they are, bytes that are not
// UTF-8 separating words). Throws a RoutineError for other character sets.
std::string TextForAnalyzer(const IndexAnalyzer& analyzer, std::string text, unsigned charset);

// A word or text `analyzer` made, for a field of the engine's character set
// `charset`: a Unicode analyzer's UTF-8 in Windows-1251 for a WIN1251 field
// (a character the code page lacks becomes '?'), anything else unchanged.
std::string TextFromAnalyzer(const IndexAnalyzer& analyzer, std::string text, unsigned charset);

}  // namespace vexa::udr
