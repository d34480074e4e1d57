#include "frame/udr/term_rows.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>

namespace vexa::udr {

TermRows::TermRows(TParser& parser, const TextField& wordField, std::size_t positionsRoom)
    : positionsRoom_(std::min(positionsRoom, kMaxPositionsBytes)) {
  const std::size_t wordRoom = std::min<std::size_t>(wordField.capacity, kMaxWordBytes);
  parser.Reset();
  std::int32_t position = 0;
  for (std::string_view word = parser.NextWord(); !word.empty(); word = parser.NextWord()) {
    // The views point into the parser's word stream, which no longer grows.
    occurrences_.push_back({word.substr(0, FittingLength(word, wordRoom, wordField.encoding)), position++});
  }
  std::sort(occurrences_.begin(), occurrences_.end(), [](const Occurrence& a, const Occurrence& b) {
    return a.word != b.word ? a.word < b.word : a.position < b.position;
  });
  positions_.reserve(positionsRoom_);
}

bool TermRows::Next(TermRow& row) {
  if (next_ == occurrences_.size()) return false;
  const std::string_view word = occurrences_[next_].word;
  positions_.clear();
  std::int32_t count = 0;
  for (; next_ < occurrences_.size() && occurrences_[next_].word == word; ++next_) {
    char digits[12];
    const auto converted = std::to_chars(digits, digits + sizeof digits, occurrences_[next_].position);
    const auto length = static_cast<std::size_t>(converted.ptr - digits);
    const std::size_t separator = positions_.empty() ? 0 : 1;
    if (count > 0 && positions_.size() + separator + length > positionsRoom_) break;
    if (separator != 0) positions_ += ' ';
    positions_.append(digits, length);
    ++count;
  }
  row.word = word;
  row.part = part_;
  row.freq = count;
  row.positions = positions_;
  const bool wordGoesOn = next_ < occurrences_.size() && occurrences_[next_].word == word;
  if (wordGoesOn && part_ == std::numeric_limits<std::int32_t>::max()) {
    throw std::length_error("a word's positions need more rows than PART can number");
  }
  part_ = wordGoesOn ? part_ + 1 : 0;
  return true;
}

}  // namespace vexa::udr
