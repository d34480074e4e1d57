// The columns of a table an index is over, each with its weight in ranking.
// An index without columns is over one unnamed column (an index fed by
// FT_INDEX).
//
// A document's word positions carry their column: position = column << 24 |
// the word's position within the column (from 0). Column 0's positions are
// the plain positions, so a one-column index stores plain positions
// (and its documents may hold any number of words); in an index of several
// columns a column holds fewer than 2^24 words, so that no phrase runs from
// one column into the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::index {

struct IndexColumn {
  std::string name;
  double weight = 1;
};
using IndexColumns = std::vector<IndexColumn>;

inline constexpr unsigned kColumnShift = 24;
inline constexpr std::uint32_t kPositionsPerColumn = std::uint32_t{1} << kColumnShift;
inline constexpr std::size_t kMaxColumns = 255;

inline std::uint32_t ColumnPosition(std::uint32_t column, std::uint32_t position) {
  return column << kColumnShift | position;
}
inline std::uint32_t ColumnOf(std::uint32_t position) { return position >> kColumnShift; }

// Whether `position` can stand in a document of `length` words: below the
// length, or a later column's position below it.
inline bool PositionFits(std::uint64_t position, std::uint32_t length) {
  if (position < length) return true;
  const std::uint64_t column = position >> kColumnShift;
  return column > 0 && column < kMaxColumns && (position & (kPositionsPerColumn - 1)) < length;
}

// The number of the column named `name` (ASCII letters in either case), or
// -1 when the index has no such column.
inline int FindColumn(const IndexColumns& columns, std::string_view name) {
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const std::string& candidate = columns[c].name;
    if (candidate.size() != name.size() || candidate.empty()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) {
      const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
      same = lower(candidate[i]) == lower(name[i]);
    }
    if (same) return static_cast<int>(c);
  }
  return -1;
}

// The weight of column `column` (1 for an index without columns).
inline double ColumnWeight(const IndexColumns& columns, std::uint32_t column) {
  return column < columns.size() ? columns[column].weight : 1.0;
}

// Whether every column weighs 1: ranking then counts plain frequencies.
inline bool UnitWeights(const IndexColumns& columns) {
  for (const IndexColumn& column : columns) {
    if (column.weight != 1.0) return false;
  }
  return true;
}

}  // namespace vexa::index
