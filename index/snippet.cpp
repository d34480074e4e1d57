#include "index/snippet.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <set>
#include <vector>

#include "index/query_plan.h"
#include "index/substring_query.h"

namespace vexa::index {
namespace {

// Longer runs of non-blanks are chunks of this many characters.
constexpr std::size_t kLongestRun = 4000;
constexpr std::size_t kLongestChunkShown = 200;
constexpr std::string_view kPunctuation = ".,;:!?\"'()[]{}<>`";

// Byte offsets of the characters of a piece of text.
class Characters {
 public:
  Characters(std::string_view text, TextEncoding encoding) : text_(text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      if (encoding == TextEncoding::kSingleByte || (byte & 0xC0) != 0x80 || starts_.empty()) starts_.push_back(i);
    }
  }
  std::size_t Count() const { return starts_.size(); }
  // Characters [from, to) as bytes.
  std::string_view Range(std::size_t from, std::size_t to) const {
    const std::size_t begin = from < starts_.size() ? starts_[from] : text_.size();
    const std::size_t end = to < starts_.size() ? starts_[to] : text_.size();
    return text_.substr(begin, end - begin);
  }
  std::string_view At(std::size_t index) const { return Range(index, index + 1); }

 private:
  std::string_view text_;
  std::vector<std::size_t> starts_;
};

bool IsBlankByte(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\v' || c == '\f'; }

// The text's chunks: runs of non-blanks, longer ones cut every kLongestRun characters.
std::vector<std::string_view> Chunks(std::string_view text, TextEncoding encoding) {
  std::vector<std::string_view> chunks;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlankByte(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsBlankByte(text[end])) ++end;
    const std::string_view run = text.substr(i, end - i);
    const Characters characters(run, encoding);
    for (std::size_t from = 0; from < characters.Count(); from += kLongestRun) {
      chunks.push_back(characters.Range(from, std::min(from + kLongestRun, characters.Count())));
    }
    i = end;
  }
  return chunks;
}

// Appends `text`, its <, >, & and " as HTML entities when `escape`.
void AppendText(std::string& out, std::string_view text, bool escape) {
  if (!escape) {
    out.append(text.data(), text.size());
    return;
  }
  for (const char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
}

bool SameName(std::string_view a, std::string_view b) {
  return FindColumn({IndexColumn{std::string(a), 1}}, b) == 0;
}

// Which of a text's words (in order) a match marks: a word of a word item,
// a word with a prefix of a prefix item, or a word of a phrase item where
// all the phrase's words stand in order, of the items to be found in the
// text's column.
std::vector<bool> MarkedWords(const std::vector<std::string>& textWords, std::string_view query,
                              const TextAnalyzer& analyzer, const SnippetOptions& options) {
  const QueryPlan plan = ParseQuery(query, analyzer, options.columns);
  std::set<std::string, std::less<>> words;
  std::vector<std::string> prefixes;
  std::set<std::vector<std::string>> phrases;
  for (const auto& group : plan.groups) {
    for (const QueryItem& item : group) {
      if (item.negated) continue;
      if (item.column >= 0 && !options.column.empty() && !SameName(item.columnName, options.column)) continue;
      if (item.kind == ItemKind::kPhrase) {
        phrases.insert(item.words);
      } else {
        if (item.kind == ItemKind::kPrefix) prefixes.push_back(item.words[0]);
        words.insert(item.words[0]);
      }
    }
  }
  const auto isWanted = [&](std::string_view word) {
    if (words.count(word) != 0) return true;
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return word.compare(0, prefix.size(), prefix) == 0; });
  };
  std::vector<bool> marked(textWords.size(), false);
  for (std::size_t w = 0; w < textWords.size(); ++w) marked[w] = isWanted(textWords[w]);
  for (const std::vector<std::string>& phrase : phrases) {
    for (std::size_t w = 0; w + phrase.size() <= textWords.size(); ++w) {
      if (std::equal(phrase.begin(), phrase.end(), textWords.begin() + static_cast<std::ptrdiff_t>(w))) {
        std::fill(marked.begin() + static_cast<std::ptrdiff_t>(w),
                  marked.begin() + static_cast<std::ptrdiff_t>(w + phrase.size()), true);
      }
    }
  }
  return marked;
}

// For each chunk, the first of its words a match marks, or empty; a phrase
// may run across chunks.
std::vector<std::string> MatchedWords(const std::vector<std::string_view>& chunks, std::string_view query,
                                      const TextAnalyzer& analyzer, const SnippetOptions& options) {
  std::vector<std::string> textWords;
  std::vector<std::size_t> chunkOf;
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    for (std::string& word : analyzer.Words(chunks[c])) {
      textWords.push_back(std::move(word));
      chunkOf.push_back(c);
    }
  }
  const std::vector<bool> marked = MarkedWords(textWords, query, analyzer, options);
  std::vector<std::string> matched(chunks.size());
  for (std::size_t w = 0; w < textWords.size(); ++w) {
    if (marked[w] && matched[chunkOf[w]].empty()) matched[chunkOf[w]] = textWords[w];
  }
  return matched;
}

// A text's words where its analyzer says they stand, and the byte ranges
// a match marks (overlapping and touching ones joined: a CJK run's matched
// bigrams are marked as one).
struct PlacedWords {
  std::vector<std::string> words;
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // per word, [begin, end)
  std::vector<bool> marked;                                 // per word
  std::vector<std::pair<std::size_t, std::size_t>> marks;   // ascending, disjoint
};

// The places of a gram index's pattern in `text`: every occurrence of the
// folded pattern in the folded text, marked (overlapping ones as one), and
// the gram each starts at marked. REQUIRES: `placed` holds the text's grams.
void MarkSubstrings(std::string_view text, std::string_view pattern, const GramAnalyzer& analyzer,
                    PlacedWords& placed) {
  placed.marked.assign(placed.words.size(), false);
  std::string wanted;
  for (const GramCharacter& character : analyzer.Characters(pattern)) wanted += character.folded;
  if (wanted.empty()) return;
  // The folded text, and where each of its characters starts in it and in the text.
  std::string folded;
  std::vector<std::size_t> foldedAt;
  std::vector<std::size_t> textAt;
  for (const GramCharacter& character : analyzer.Characters(text)) {
    foldedAt.push_back(folded.size());
    textAt.push_back(static_cast<std::size_t>(character.raw.data() - text.data()));
    folded += character.folded;
  }
  textAt.push_back(text.size());
  // Folded text is UTF-8, so a match of the folded pattern starts and ends
  // at characters.
  for (std::size_t at = folded.find(wanted); at != std::string::npos; at = folded.find(wanted, at + 1)) {
    const auto first = static_cast<std::size_t>(std::lower_bound(foldedAt.begin(), foldedAt.end(), at) - foldedAt.begin());
    const auto last = static_cast<std::size_t>(
        std::lower_bound(foldedAt.begin(), foldedAt.end(), at + wanted.size()) - foldedAt.begin());
    const std::size_t begin = textAt[first];
    const std::size_t end = textAt[last];
    if (first + 1 < placed.marked.size()) placed.marked[first + 1] = true;
    if (!placed.marks.empty() && begin <= placed.marks.back().second) {
      placed.marks.back().second = std::max(placed.marks.back().second, end);
    } else {
      placed.marks.emplace_back(begin, end);
    }
  }
}

std::optional<PlacedWords> PlaceWords(std::string_view text, std::string_view query, const TextAnalyzer& analyzer,
                                      const SnippetOptions& options) {
  PlacedWords placed;
  const bool offered = analyzer.WordOffsets(text, [&](std::string_view word, std::size_t begin, std::size_t end) {
    placed.words.emplace_back(word);
    placed.spans.emplace_back(begin, end);
  });
  if (!offered) return std::nullopt;
  if (const auto* grams = dynamic_cast<const GramAnalyzer*>(&analyzer)) {
    MarkSubstrings(text, query, *grams, placed);
    return placed;
  }
  placed.marked = MarkedWords(placed.words, query, analyzer, options);
  for (std::size_t w = 0; w < placed.words.size(); ++w) {
    if (!placed.marked[w]) continue;
    const auto [begin, end] = placed.spans[w];
    if (!placed.marks.empty() && begin <= placed.marks.back().second) {
      placed.marks.back().second = std::max(placed.marks.back().second, end);
    } else {
      placed.marks.emplace_back(begin, end);
    }
  }
  return placed;
}

// Bytes [from, to) of `text` with the marks that fall in them; with
// `oneBlank`, each run of blanks (and line ends) written as one blank.
std::string MarkedRange(std::string_view text, std::size_t from, std::size_t to, const PlacedWords& placed,
                        bool oneBlank, const SnippetOptions& options) {
  std::string out;
  const auto plain = [&](std::size_t begin, std::size_t end) {
    std::string_view piece = text.substr(begin, end - begin);
    if (!oneBlank) {
      AppendText(out, piece, options.escapeHtml);
      return;
    }
    std::string squeezed;
    for (const char c : piece) {
      const bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\v' || c == '\f';
      if (!blank) {
        squeezed += c;
      } else if (squeezed.empty() || squeezed.back() != ' ') {
        squeezed += ' ';
      }
    }
    AppendText(out, squeezed, options.escapeHtml);
  };
  std::size_t at = from;
  for (const auto& [begin, end] : placed.marks) {
    if (end <= from || begin >= to) continue;
    const std::size_t markFrom = std::max(begin, from);
    const std::size_t markTo = std::min(end, to);
    plain(at, markFrom);
    out += options.startMark;
    plain(markFrom, markTo);
    out += options.endMark;
    at = markTo;
  }
  plain(at, to);
  return out;
}

// The snippet of a text whose words the analyzer placed: the best window
// of maxWords words (chosen as the chunks' window is), from its first
// word's first byte to its last word's last, the text between them as it
// stands but for runs of blanks; words that would take it past
// maxCharacters are left out.
std::string PlacedSnippet(std::string_view text, const PlacedWords& placed, const SnippetOptions& options) {
  const std::size_t count = placed.words.size();
  if (count == 0) return std::string();
  const std::size_t width = options.maxWords < 1 ? 30 : static_cast<std::size_t>(options.maxWords);
  std::size_t bestStart = 0;
  std::int64_t bestScore = 0;
  for (std::size_t w = 0; w < count; ++w) {
    if (!placed.marked[w]) continue;
    const std::size_t back = width / 5;
    std::size_t start = w > back ? w - back : 0;
    if (count >= width) start = std::min(start, count - width);
    else start = 0;
    std::set<std::string_view> distinct;
    std::int64_t matches = 0;
    for (std::size_t k = start; k < std::min(count, start + width); ++k) {
      if (!placed.marked[k]) continue;
      distinct.insert(placed.words[k]);
      ++matches;
    }
    const std::int64_t score = static_cast<std::int64_t>(distinct.size()) * 10000 + matches;
    if (score > bestScore || (score == bestScore && start < bestStart)) {
      bestScore = score;
      bestStart = start;
    }
  }
  std::size_t last = std::min(count, bestStart + width);  // one past the window's last word
  // The window takes in what is written onto its first and last words (a
  // quotation mark, a full stop), up to a blank or another word.
  const auto isBlank = [&](std::size_t at) { return IsBlankByte(text[at]); };
  std::size_t from = placed.spans[bestStart].first;
  std::size_t reach = from;
  while (reach > 0 && !isBlank(reach - 1)) --reach;
  if (bestStart > 0) reach = std::max(reach, placed.spans[bestStart - 1].second);
  from = std::min(from, reach);
  const std::size_t ellipsisCharacters = 2 * Characters(options.ellipsis, options.encoding).Count();
  std::string body;
  for (;;) {
    std::size_t to = placed.spans[last - 1].second;
    for (std::size_t k = bestStart; k < last; ++k) to = std::max(to, placed.spans[k].second);
    std::size_t after = to;
    while (after < text.size() && !isBlank(after)) ++after;
    if (last < count) after = std::min(after, placed.spans[last].first);
    to = std::max(to, after);
    body = MarkedRange(text, from, to, placed, true, options);
    if (last == bestStart + 1 || Characters(body, options.encoding).Count() + ellipsisCharacters <= options.maxCharacters) {
      break;
    }
    --last;
  }
  std::string result;
  if (bestStart > 0) result += options.ellipsis;
  result += body;
  if (last < count) result += options.ellipsis;
  return result;
}

// Appends a chunk, marked when `marked`: the marks around it leave out
// punctuation at its ends. Its characters from `textCharacters` on are
// not the text's (an ellipsis) and are not escaped.
void AppendChunk(std::string& out, std::string_view chunk, std::size_t textCharacters, bool marked,
                 const SnippetOptions& options) {
  const Characters characters(chunk, options.encoding);
  const auto append = [&](std::size_t from, std::size_t to) {
    const std::size_t split = std::max(from, std::min(to, textCharacters));
    AppendText(out, characters.Range(from, split), options.escapeHtml);
    AppendText(out, characters.Range(split, to), false);
  };
  if (!marked) {
    append(0, characters.Count());
    return;
  }
  const auto isPunctuation = [&](std::size_t i) {
    const std::string_view character = characters.At(i);
    return character.size() == 1 && kPunctuation.find(character[0]) != std::string_view::npos;
  };
  std::size_t from = 0;
  std::size_t to = characters.Count() - 1;
  while (from < to && isPunctuation(from)) ++from;
  while (to > from && isPunctuation(to)) --to;
  append(0, from);
  out += options.startMark;
  append(from, to + 1);
  out += options.endMark;
  append(to + 1, characters.Count());
}

}  // namespace

std::string Snippet(std::string_view text, std::string_view query, const TextAnalyzer& analyzer,
                    const SnippetOptions& options) {
  if (const std::optional<PlacedWords> placed = PlaceWords(text, query, analyzer, options)) {
    return PlacedSnippet(text, *placed, options);
  }
  const std::size_t maxWords = options.maxWords < 1 ? 30 : static_cast<std::size_t>(options.maxWords);
  const std::vector<std::string_view> chunks = Chunks(text, options.encoding);
  if (chunks.empty()) return std::string();
  const std::vector<std::string> matched = MatchedWords(chunks, query, analyzer, options);

  // Chunks are numbered from 1 here, as windows are counted.
  const auto count = static_cast<std::int64_t>(chunks.size());
  const auto width = static_cast<std::int64_t>(maxWords);
  std::int64_t bestStart = 1;
  std::int64_t bestScore = 0;
  for (std::int64_t c = 1; c <= count; ++c) {
    if (matched[static_cast<std::size_t>(c - 1)].empty()) continue;
    const std::int64_t start = std::max<std::int64_t>(1, std::min(c - width / 5, count - width + 1));
    std::set<std::string_view> distinct;
    std::int64_t matches = 0;
    for (std::int64_t k = start; k <= std::min(count, start + width - 1); ++k) {
      const std::string& word = matched[static_cast<std::size_t>(k - 1)];
      if (word.empty()) continue;
      distinct.insert(word);
      ++matches;
    }
    const std::int64_t score = static_cast<std::int64_t>(distinct.size()) * 10000 + matches;
    if (score > bestScore || (score == bestScore && start < bestStart)) {
      bestScore = score;
      bestStart = start;
    }
  }

  const Characters ellipsis(options.ellipsis, options.encoding);
  std::string result;
  std::size_t resultCharacters = 0;
  for (std::int64_t k = bestStart; k <= std::min(count, bestStart + width - 1); ++k) {
    std::string chunk(chunks[static_cast<std::size_t>(k - 1)]);
    std::size_t textCharacters = Characters(chunk, options.encoding).Count();
    if (textCharacters > kLongestChunkShown) {
      chunk = std::string(Characters(chunk, options.encoding).Range(0, kLongestChunkShown)) + options.ellipsis;
      textCharacters = kLongestChunkShown;
    }
    std::string part;
    AppendChunk(part, chunk, textCharacters, !matched[static_cast<std::size_t>(k - 1)].empty(), options);
    const std::size_t partCharacters = Characters(part, options.encoding).Count();
    if (resultCharacters + partCharacters + 1 + 2 * ellipsis.Count() > options.maxCharacters) break;
    if (!result.empty()) {
      result += ' ';
      ++resultCharacters;
    }
    result += part;
    resultCharacters += partCharacters;
  }
  if (bestStart > 1) result = options.ellipsis + result;
  if (bestStart + width - 1 < count) result += options.ellipsis;
  return result;
}

std::string Highlight(std::string_view text, std::string_view query, const TextAnalyzer& analyzer,
                      const SnippetOptions& options) {
  if (const std::optional<PlacedWords> placed = PlaceWords(text, query, analyzer, options)) {
    return MarkedRange(text, 0, text.size(), *placed, false, options);
  }
  const std::vector<std::string_view> chunks = Chunks(text, options.encoding);
  const std::vector<std::string> matched = MatchedWords(chunks, query, analyzer, options);
  std::string result;
  std::size_t done = 0;  // bytes of the text written
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    const auto offset = static_cast<std::size_t>(chunks[c].data() - text.data());
    AppendText(result, text.substr(done, offset - done), options.escapeHtml);
    AppendChunk(result, chunks[c], Characters(chunks[c], options.encoding).Count(), !matched[c].empty(), options);
    done = offset + chunks[c].size();
  }
  AppendText(result, text.substr(done), options.escapeHtml);
  return result;
}

}  // namespace vexa::index
