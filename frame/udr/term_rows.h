// The rows of FT_TERMS: a parser's words grouped by word, each with its
// positions as decimal numbers separated by one space. A word whose
// positions do not fit one row goes on in further rows, PART 1, 2, ...
// Rows are as wide as the declaration's POSITIONS, which the portable
// index stores as they come.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frame/udr/output_text.h"
#include "parser/parser.h"

namespace vexa::udr {

// The positions of one row never take more bytes than this.
inline constexpr std::size_t kMaxPositionsBytes = 8000;

struct TermRow {
  std::string_view word;
  std::int32_t part = 0;
  std::int32_t freq = 0;
  std::string_view positions;  // valid until the next call of Next
};

class TermRows {
 public:
  // Reads every word of `parser` from its first on and groups them by the
  // word as a field of `wordField`'s room and encoding holds it (so words
  // that differ only past the cut are one). `positionsRoom` bytes at most go
  // into one row's positions (at most kMaxPositionsBytes). REQUIRES: the
  // parser outlives this and takes no text meanwhile.
  TermRows(TParser& parser, const TextField& wordField, std::size_t positionsRoom);

  // The next row; false when there is none.
  bool Next(TermRow& row);

 private:
  struct Occurrence {
    std::string_view word;
    std::int32_t position;
  };

  std::vector<Occurrence> occurrences_;  // by word, then by position
  std::size_t next_ = 0;
  std::int32_t part_ = 0;  // of the row Next gives next, within its word
  std::size_t positionsRoom_;
  std::string positions_;
};

}  // namespace vexa::udr
