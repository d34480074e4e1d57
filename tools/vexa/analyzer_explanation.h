// vexa explain --analyzer: the words an index of a named analyzer stores
// for a UTF-8 text, each with the bytes it was made of.
#pragma once

#include <string>

namespace vexa::inspector {

// A table (or with `tsv`, tab-separated records: begin, end, as written,
// as stored) of the words `analyzer` makes of `text`, and the CRC the index
// records. Throws std::runtime_error naming what is wrong with `analyzer`.
// Stop-word files are looked for in `directory`.
std::string ExplainByAnalyzer(const std::string& analyzer, const std::string& directory, const std::string& text,
                              bool tsv);

}  // namespace vexa::inspector
