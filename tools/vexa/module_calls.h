// A text split by the module itself, through its exports, as the server
// hands it over: by Parser_Add, or as a BLOB by Parser_AddBlob.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/host/vexa_module.h"

namespace vexa::inspector {

struct ModuleSplit {
  std::vector<std::string> words;  // as Parser_Next returned them, at most 31 bytes each
  std::uint32_t crc = 0;           // Parser_CRC
  bool sawNullResult = false;      // Parser_Next returned a null pointer (and reading stopped)
};

// Splits `text` with a new parser of the module (a query parser when `query`),
// by Parser_AddBlob in segments of `blobSegment` bytes, or by Parser_Add when
// it is 0. No value, and `error` set, when the module refuses a call.
std::optional<ModuleSplit> SplitWithModule(const vexa::host::VexaExports& exports, const std::string& text, bool query,
                                           unsigned short blobSegment, std::string& error);

// Which allocator made the result strings: the module binds the server's
// utility library when it can load one, so one loaded into this process is
// the one it took.
std::string DescribeResultAllocator(bool sawNullResult);

}  // namespace vexa::inspector
