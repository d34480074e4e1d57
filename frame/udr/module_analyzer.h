// The module's words for the index, as its configuration makes them, one
// analyzer per way of cutting words (the database's character set).
#pragma once

#include "index/text_analyzer.h"
#include "parser/word_cut.h"

namespace vexa::udr {

// Throws a RoutineError when the module could not start.
const index::TextAnalyzer& ModuleAnalyzer(TextEncoding encoding);

}  // namespace vexa::udr
