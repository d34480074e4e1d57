// Where the words of a UTF-8 text are, by Unicode's rules for word
// boundaries (UAX #29) as an index wants them: runs of letters and digits
// with their combining marks, joined across an apostrophe or a full stop
// between letters ("don't", "e.g") and a comma or full stop between digits
// ("3.14", "1,000"); connector punctuation (_) joins too. Han, Hiragana,
// Katakana and Hangul are written without spaces between words: a run of
// them gives each two neighbouring characters as a word (overlapping
// bigrams), and a lone character as itself. Scripts that use no spaces
// and are not among these (Thai, Lao, Khmer, Myanmar) give a run of letters
// as one word. Bytes that are not UTF-8, controls, symbols, punctuation
// and combining marks without a letter before them separate words. The
// colon, which UAX #29 lets join letters, separates them: the query
// language uses it after a column's name.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace vexa::analysis {

// A word's bytes in the text: [begin, end).
struct WordSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Calls `word` with each word of `text`, in order.
void ForEachWordSpan(std::string_view text, const std::function<void(WordSpan)>& word);

}  // namespace vexa::analysis
