// Chunks of a corpus that the module would keep whole as tokens if they were
// listed: each starts at a word character and runs up to the next byte
// 0x00..0x20, holds a byte that is no word character (LORD, or Ф.Е.), and is
// written in capitals, since the module finds a token in a text only as it
// stores it, upper-cased.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexa::bench {

// At most `count` such chunks of `documents`, the most frequent first. Only
// the chunk a blank-separated field begins with is counted: the field with
// the bytes before its first word character left off. Chunks longer than
// `maxBytes` are left out.
std::vector<std::string> FrequentCapitalChunks(const std::vector<std::string>& documents, std::size_t maxBytes,
                                               std::size_t count);

}  // namespace vexa::bench
