// The factory of a build without utf8proc or libstemmer: only the module's
// own analyzer is there.
#include "analysis/analyzer_factory.h"

namespace vexa::analysis {

bool HasUnicodeAnalyzer() { return false; }

std::unique_ptr<index::TextAnalyzer> MakeAnalyzer(const AnalyzerChoice& choice, const std::string&) {
  throw AnalyzerError("this build of the module has no " + choice.name + " analyzer (it was built without utf8proc)");
}

}  // namespace vexa::analysis
