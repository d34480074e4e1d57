#include "bench/scale/query_set.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace vexa::scale {
namespace {

// Common words by rank, medium words by rank, rare words by count.
constexpr std::size_t kCommonRanks = 50;
constexpr std::size_t kMediumFirstRank = 300;
constexpr std::size_t kMediumEndRank = 1500;
constexpr std::size_t kRareMaxDocuments = 3;
constexpr std::size_t kMinLetters = 3;
constexpr std::size_t kMaxLetters = 20;
constexpr std::size_t kPrefixLetters = 4;

bool IsCleanLetter(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 0x410 && c <= 0x44F);
}
// Word characters of some system that make a chunk's words unsafe to compare.
bool IsOtherWordChar(char32_t c) {
  return (c >= '0' && c <= '9') || c == '_' || (c >= 0x400 && c <= 0x4FF) || c == 0xB5;
}
bool IsAsciiOneOf(char32_t c, std::string_view set) {
  return c < 0x80 && set.find(static_cast<char>(c)) != std::string_view::npos;
}
// Characters that PostgreSQL's parser may read as part of a host name, a
// path, an e-mail address, a URL or a tag.
bool IsMarkup(char32_t c) { return IsAsciiOneOf(c, "/@\\~+#=<>&%$|^*[]{}"); }

std::size_t Letters(const std::string& utf8) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < utf8.size(); ++count) NextCodePoint(utf8, at);
  return count;
}

std::string FirstLetters(const std::string& utf8, std::size_t letters) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < letters && at < utf8.size(); ++i) NextCodePoint(utf8, at);
  return utf8.substr(0, at);
}

struct Chunk {
  std::vector<std::string> runs;  // its runs of letters, lower case
  bool tainted = false;           // some system may split it otherwise
  bool simple = false;            // one run, with at most punctuation around it
};

bool IsPlainPunctuation(char32_t c) { return IsAsciiOneOf(c, ",.;:!?\"'()"); }

Chunk ReadChunk(const std::string& text) {
  Chunk chunk;
  std::string run;
  bool runHasOther = false;
  bool plainAround = true;
  char32_t separator = 0;  // the last non-word character after a run
  std::size_t wordRuns = 0;
  const auto endRun = [&] {
    if (run.empty() && !runHasOther) return;
    ++wordRuns;
    if (!run.empty()) chunk.runs.push_back(LowerCase(run));
    if (runHasOther) chunk.tainted = true;
    run.clear();
    runHasOther = false;
  };
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    const char32_t c = NextCodePoint(text, at);
    if (IsCleanLetter(c) || IsOtherWordChar(c)) {
      if (wordRuns > 0 && run.empty() && !runHasOther && (separator == '.' || separator == ':')) chunk.tainted = true;
      if (IsCleanLetter(c)) {
        run.append(text, start, at - start);
      } else {
        // A digit or underscore parts the letters around it for some systems
        // and joins them for others.
        if (!run.empty()) chunk.runs.push_back(LowerCase(run));
        run.clear();
        runHasOther = true;
      }
      continue;
    }
    endRun();
    separator = c;
    if (IsMarkup(c)) chunk.tainted = true;
    if (!IsPlainPunctuation(c)) plainAround = false;
  }
  endRun();
  chunk.simple = !chunk.tainted && wordRuns == 1 && chunk.runs.size() == 1 && plainAround;
  return chunk;
}

// A document's chunks, between blanks.
std::vector<Chunk> Chunks(const std::string& document) {
  std::vector<Chunk> chunks;
  std::size_t at = 0;
  while (at < document.size()) {
    while (at < document.size() && static_cast<unsigned char>(document[at]) <= 0x20) ++at;
    std::size_t end = at;
    while (end < document.size() && static_cast<unsigned char>(document[end]) > 0x20) ++end;
    if (end > at) chunks.push_back(ReadChunk(document.substr(at, end - at)));
    at = end;
  }
  return chunks;
}

// A fixed shuffle of 0..n-1, the same with every standard library.
std::vector<std::size_t> ShuffledIndexes(std::size_t n, std::mt19937& random) {
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  for (std::size_t i = n; i > 1; --i) std::swap(order[i - 1], order[random() % i]);
  return order;
}

// `count` of `from`, in a random order.
std::vector<std::string> Picked(const std::vector<std::string>& from, std::size_t count, std::mt19937& random) {
  std::vector<std::string> picked;
  for (std::size_t i : ShuffledIndexes(from.size(), random)) {
    if (picked.size() == count) break;
    picked.push_back(from[i]);
  }
  return picked;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

}  // namespace

char32_t NextCodePoint(const std::string& text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at++);
  if (lead < 0x80) return lead;
  std::size_t more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (more == 0) return 0xFFFD;
  char32_t point = lead & (0x3F >> more);
  for (; more > 0; --more) {
    if (at >= text.size() || (byte(at) & 0xC0) != 0x80) return 0xFFFD;
    point = (point << 6) | (byte(at++) & 0x3F);
  }
  return point;
}

bool HoldsPhrase(const std::string& kind) { return kind == "phrase" || kind == "phrase_word"; }

std::string LowerCase(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t start = at;
    const char32_t c = NextCodePoint(utf8, at);
    if (c >= 'A' && c <= 'Z') {
      out += static_cast<char>(c + 0x20);
    } else if ((c >= 0x410 && c <= 0x42F) || c == 0x401) {
      const char32_t lower = c == 0x401 ? 0x451 : c + 0x20;
      out += static_cast<char>(0xC0 | (lower >> 6));
      out += static_cast<char>(0x80 | (lower & 0x3F));
    } else {
      out.append(utf8, start, at - start);
    }
  }
  return out;
}

std::vector<Query> ChooseQueries(const std::vector<std::string>& documents, const QueryChoice& choice) {
  // Each document's comparable words, their document counts, and the runs
  // of adjacent simple chunks that phrases are taken from.
  std::vector<std::vector<std::string>> documentWords(documents.size());
  std::vector<std::vector<std::vector<std::string>>> documentStretches(documents.size());
  std::map<std::string, std::size_t> documentCount;
  std::set<std::string> tainted;
  for (std::size_t d = 0; d < documents.size(); ++d) {
    std::set<std::string> seen;
    std::vector<std::string> stretch;
    for (const Chunk& chunk : Chunks(documents[d])) {
      if (chunk.tainted) tainted.insert(chunk.runs.begin(), chunk.runs.end());
      if (!chunk.simple) {
        if (stretch.size() > 1) documentStretches[d].push_back(stretch);
        stretch.clear();
      } else {
        stretch.push_back(chunk.runs[0]);
      }
      if (!chunk.tainted) seen.insert(chunk.runs.begin(), chunk.runs.end());
    }
    if (stretch.size() > 1) documentStretches[d].push_back(stretch);
    for (const std::string& word : seen) ++documentCount[word];
    documentWords[d].assign(seen.begin(), seen.end());
  }
  const auto comparable = [&](const std::string& word) {
    const std::size_t letters = Letters(word);
    return letters >= kMinLetters && letters <= kMaxLetters && tainted.count(word) == 0 &&
           choice.stopWords.count(word) == 0 && choice.tokenWords.count(word) == 0;
  };

  std::vector<std::pair<std::size_t, std::string>> ranked;
  for (const auto& [word, count] : documentCount) {
    if (comparable(word)) ranked.emplace_back(count, word);
  }
  std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  std::map<std::string, std::string> bandOf;
  for (std::size_t rank = 0; rank < ranked.size(); ++rank) {
    const auto& [count, word] = ranked[rank];
    if (rank < kCommonRanks) bandOf[word] = "common";
    else if (rank >= kMediumFirstRank && rank < kMediumEndRank) bandOf[word] = "medium";
    else if (count <= kRareMaxDocuments) bandOf[word] = "rare";
  }

  std::mt19937 random(choice.seed);
  std::vector<Query> queries;
  std::set<std::string> chosen;
  const auto add = [&](Query query) {
    if (!chosen.insert(query.kind + ":" + query.text).second) return false;
    queries.push_back(std::move(query));
    return true;
  };

  const auto wordsInBand = [&](std::size_t d, const std::string& band) {
    std::vector<std::string> inBand;
    for (const std::string& word : documentWords[d]) {
      const auto it = bandOf.find(word);
      if (it != bandOf.end() && it->second == band) inBand.push_back(word);
    }
    return inBand;
  };
  // The runs of `words` comparable words, one after the other, of a document.
  const auto phrasesOf = [&](std::size_t d, std::size_t words) {
    std::vector<std::vector<std::string>> candidates;
    for (const auto& stretch : documentStretches[d]) {
      for (std::size_t i = 0; i + words <= stretch.size(); ++i) {
        std::vector<std::string> phrase(stretch.begin() + static_cast<std::ptrdiff_t>(i),
                                        stretch.begin() + static_cast<std::ptrdiff_t>(i + words));
        if (std::all_of(phrase.begin(), phrase.end(), comparable)) candidates.push_back(phrase);
      }
    }
    return candidates;
  };
  const std::size_t perHalfGroup = (choice.perGroup + 1) / 2;

  for (const char* band : {"rare", "medium", "common"}) {
    for (std::size_t words = 1; words <= 3; ++words) {
      std::size_t found = 0;
      for (std::size_t d : ShuffledIndexes(documents.size(), random)) {
        if (found == choice.perGroup) break;
        const std::vector<std::string> inBand = wordsInBand(d, band);
        if (inBand.size() < words) continue;
        std::vector<std::string> picked = Picked(inBand, words, random);
        std::sort(picked.begin(), picked.end());
        if (add(Query{"all", band, words, Joined(picked)})) ++found;
      }
    }
  }

  for (std::size_t words = 2; words <= 3; ++words) {
    std::size_t found = 0;
    for (std::size_t d : ShuffledIndexes(documents.size(), random)) {
      if (found == perHalfGroup) break;
      const auto candidates = phrasesOf(d, words);
      if (candidates.empty()) continue;
      if (add(Query{"phrase", "-", words, Joined(candidates[random() % candidates.size()])})) ++found;
    }
  }

  // Prefixes of common and medium words that begin no word left out of the
  // comparison (a stop word, say, is in other systems' indexes).
  std::vector<std::string> unsafe(tainted.begin(), tainted.end());
  unsafe.insert(unsafe.end(), choice.stopWords.begin(), choice.stopWords.end());
  unsafe.insert(unsafe.end(), choice.tokenWords.begin(), choice.tokenWords.end());
  std::vector<std::string> sources;
  for (const auto& [word, band] : bandOf) {
    if (band != "rare" && Letters(word) >= kPrefixLetters + 2) sources.push_back(word);
  }
  std::size_t found = 0;
  for (std::size_t i : ShuffledIndexes(sources.size(), random)) {
    if (found == choice.perGroup) break;
    const std::string prefix = FirstLetters(sources[i], kPrefixLetters);
    const bool safe = std::none_of(unsafe.begin(), unsafe.end(),
                                   [&](const std::string& word) { return word.compare(0, prefix.size(), prefix) == 0; });
    if (safe && add(Query{"prefix", "-", 1, prefix})) ++found;
  }

  // The mixes, in every band. Each takes its words from one document, so
  // that the words of an OR or of an exclusion meet somewhere (the exclusion
  // leaves something out), and a phrase's word is found beside it.
  for (const char* band : {"rare", "medium", "common"}) {
    for (const char* kind : {"or", "not"}) {
      std::size_t mixes = 0;
      for (std::size_t d : ShuffledIndexes(documents.size(), random)) {
        if (mixes == perHalfGroup) break;
        const std::vector<std::string> inBand = wordsInBand(d, band);
        if (inBand.size() < 2) continue;
        std::vector<std::string> picked = Picked(inBand, 2, random);
        if (std::string(kind) == "or") std::sort(picked.begin(), picked.end());
        if (add(Query{kind, band, 2, Joined(picked)})) ++mixes;
      }
    }
    std::size_t mixes = 0;
    for (std::size_t d : ShuffledIndexes(documents.size(), random)) {
      if (mixes == perHalfGroup) break;
      const auto candidates = phrasesOf(d, 2);
      if (candidates.empty()) continue;
      std::vector<std::string> words = candidates[random() % candidates.size()];
      std::vector<std::string> others;
      for (const std::string& word : wordsInBand(d, band)) {
        if (std::find(words.begin(), words.end(), word) == words.end()) others.push_back(word);
      }
      if (others.empty()) continue;
      words.push_back(others[random() % others.size()]);
      if (add(Query{"phrase_word", band, 3, Joined(words)})) ++mixes;
    }
  }
  return queries;
}

std::string FormatQueries(const std::vector<Query>& queries) {
  std::string text;
  for (const Query& query : queries) {
    text += query.kind + "\t" + query.band + "\t" + std::to_string(query.words) + "\t" + query.text + "\n";
  }
  return text;
}

std::vector<Query> ParseQueries(const std::string& text) {
  std::vector<Query> queries;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    Query query;
    std::string words;
    if (!std::getline(fields, query.kind, '\t') || !std::getline(fields, query.band, '\t') ||
        !std::getline(fields, words, '\t') || !std::getline(fields, query.text)) {
      throw std::runtime_error("not a query line: " + line);
    }
    query.words = std::stoul(words);
    queries.push_back(query);
  }
  return queries;
}

}  // namespace vexa::scale
