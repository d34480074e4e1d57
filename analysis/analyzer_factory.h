// The analyzers this room makes, by the text an index records (see
// analyzer_spec.h). The win1251 one is the module's own, made where its
// configuration is; this makes the others.
#pragma once

#include <memory>
#include <string>

#include "analysis/analyzer_spec.h"
#include "index/text_analyzer.h"

namespace vexa::analysis {

// Whether this build has the unicode analyzer (it needs utf8proc and
// libstemmer where it is built).
bool HasUnicodeAnalyzer();

// Throws AnalyzerError when `spec` cannot be made: a stemmer Snowball does
// not have, a stop-word file that cannot be read or is not UTF-8, or an
// analyzer this build lacks. A relative stop-word file name is looked for
// in `directory` (with its separator).
// REQUIRES: !spec.IsWindows1251().
std::unique_ptr<index::TextAnalyzer> MakeAnalyzer(const AnalyzerSpec& spec, const std::string& directory);

}  // namespace vexa::analysis
