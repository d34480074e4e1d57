#include "sample_texts.h"

#include <random>
#include <vector>

namespace vexa::firebird {
namespace {

const std::vector<std::string>& SharedVocabulary() {
  static const std::vector<std::string> words = {
      "index",    "search",  "document", "engine",   "server",  "word",     "table",    "query",   "trigger",
      "database", "record",  "phrase",   "sound",    "library", "module",   "parser",   "stream",  "handle",
      "Robert",   "network", "protocol", "letter",   "history", "river",    "mountain", "garden",  "window",
      "market",   "silver",  "thunder",  "journey",  "morning", "evening",  "station",  "harbour", "village",
      "kingdom",  "bridge",  "forest",   "castle",   "winter",  "summer",   "orange",   "violet",  "copper",
      "marble",   "quartz",  "lantern",  "compass",  "anchor",  "feather",  "pebble",   "meadow",  "canyon",
      "glacier",  "volcano", "island",   "desert",   "prairie", "lagoon",   "shadow",   "echo",    "signal",
      "cipher",   "vector",  "matrix",   "kernel",   "socket",  "thread",   "buffer",   "packet",  "router",
      "the",      "and",     "of",       "to",       "in",      "is",       "it",       "on",      "as",
      "version",  "release", "update",   "delete",   "insert",  "select",   "commit",   "rollback", "cursor",
      "x1",       "2024",    "under_score", "mixedCase", "TCP/IP", "C++", "R&D", "e-mail", "self-made"};
  return words;
}

const char* const kSeparators[] = {" ", " ", " ", ", ", ". ", "; ", " - ", "\n", " (", ") ", "! ", "? ", "\t"};

std::string Base26(std::size_t value) {
  std::string letters;
  do {
    letters += static_cast<char>('a' + value % 26);
    value /= 26;
  } while (value != 0);
  return letters;
}

}  // namespace

std::string OwnWord(std::uint32_t seed, std::size_t index) {
  return "own" + Base26(seed) + "q" + Base26(index);
}

std::string GeneratedDocument(std::uint32_t seed, std::size_t wordCount) {
  std::mt19937 random(seed);
  const std::vector<std::string>& shared = SharedVocabulary();
  std::uniform_int_distribution<std::size_t> pickShared(0, shared.size() - 1);
  std::uniform_int_distribution<std::size_t> pickSeparator(0, std::size(kSeparators) - 1);
  std::uniform_int_distribution<int> percent(0, 99);
  std::string text;
  std::size_t ownWords = 0;
  for (std::size_t i = 0; i < wordCount; ++i) {
    std::string word = percent(random) < 10 ? OwnWord(seed, ownWords++) : shared[pickShared(random)];
    if (percent(random) < 15) {
      for (char& c : word) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    text += word;
    text += kSeparators[pickSeparator(random)];
  }
  return text;
}

}  // namespace vexa::firebird
