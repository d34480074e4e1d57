#include "index/snippet.h"

#include <algorithm>
#include <set>
#include <vector>

#include "index/query_plan.h"

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

}  // namespace

std::string Snippet(std::string_view text, std::string_view query, const TextAnalyzer& analyzer,
                    const SnippetOptions& options) {
  const std::size_t maxWords = options.maxWords < 1 ? 30 : static_cast<std::size_t>(options.maxWords);
  const QueryPlan plan = ParseQuery(query, analyzer);
  std::set<std::string, std::less<>> words;
  std::vector<std::string> prefixes;
  for (const auto& group : plan.groups) {
    for (const QueryItem& item : group) {
      if (item.negated) continue;
      for (const std::string& word : item.words) {
        if (item.kind == ItemKind::kPrefix) prefixes.push_back(word);
        words.insert(word);
      }
    }
  }
  const auto isWanted = [&](std::string_view word) {
    if (words.count(word) != 0) return true;
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return word.compare(0, prefix.size(), prefix) == 0; });
  };

  const std::vector<std::string_view> chunks = Chunks(text, options.encoding);
  if (chunks.empty()) return std::string();
  std::vector<std::string> matched(chunks.size());  // the first matching word of each chunk, or empty
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    for (const std::string& word : analyzer.Words(chunks[c])) {
      if (isWanted(word)) {
        matched[c] = word;
        break;
      }
    }
  }

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
    if (const Characters characters(chunk, options.encoding); characters.Count() > kLongestChunkShown) {
      chunk = std::string(characters.Range(0, kLongestChunkShown)) + options.ellipsis;
    }
    std::string part = chunk;
    const Characters characters(chunk, options.encoding);
    if (!matched[static_cast<std::size_t>(k - 1)].empty()) {
      const auto isPunctuation = [&](std::size_t i) {
        const std::string_view character = characters.At(i);
        return character.size() == 1 && kPunctuation.find(character[0]) != std::string_view::npos;
      };
      std::size_t from = 0;
      std::size_t to = characters.Count() - 1;
      while (from < to && isPunctuation(from)) ++from;
      while (to > from && isPunctuation(to)) --to;
      part = std::string(characters.Range(0, from)) + options.startMark + std::string(characters.Range(from, to + 1)) +
             options.endMark + std::string(characters.Range(to + 1, characters.Count()));
    }
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

}  // namespace vexa::index
