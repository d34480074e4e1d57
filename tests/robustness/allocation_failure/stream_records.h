// Reads a parser's word stream byte by byte, as the CRC sees it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "parser/word_stream.h"

namespace vexa::test {

// The words of the stream's records, or nothing when the stream is not a
// sequence of whole records (a length of 0 or over 255, or a record that
// runs past the end).
std::optional<std::vector<std::string>> WholeRecords(const vexa::TWordStream& stream);

// True when `got` is `full` with at most one word left out.
bool AtMostOneWordMissing(const std::vector<std::string>& full, const std::vector<std::string>& got);

}  // namespace vexa::test
