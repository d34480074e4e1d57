// The analyzers this room makes, by the text an index records (see
// analyzer_choice.h). The win1251 one is the module's own, made where its
// configuration is; this makes the others.
#pragma once

#include <memory>
#include <string>

#include "analysis/analyzer_choice.h"
#include "index/text_analyzer.h"

namespace vexa::analysis {

// Whether this build has the unicode analyzer (it needs utf8proc and
// libstemmer where it is built).
bool HasUnicodeAnalyzer();

// Throws AnalyzerError when `choice` cannot be made: a stemmer Snowball does
// not have, a stop-word file that cannot be read or is not UTF-8, or an
// analyzer this build lacks. A relative stop-word file name is looked for
// in `directory` (with its separator).
// REQUIRES: !choice.IsWindows1251().
std::unique_ptr<index::TextAnalyzer> MakeAnalyzer(const AnalyzerChoice& choice, const std::string& directory);

}  // namespace vexa::analysis
