// vexa_compare_sample_corpus DIR BYTES: writes made-up texts of at least
// BYTES bytes each into DIR under the corpus file names that fetch_corpus.sh
// uses, for a run of vexa_compare that needs no corpus packages (the smoke
// test): sentences of common English words, and of Russian words in
// Windows-1251, with now and then a comma, a number or a token such as
// TCP/IP. The words are drawn with a fixed seed, so every run gives the same
// bytes, and the first words of each vocabulary are drawn most often, so
// that a stop-word list made from the text holds them.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/windows1251_utf8.h"
#include "bench/corpus/corpus.h"
#include "bench/corpus/corpus_word_lists.h"
#include "bench/corpus/windows1251_case.h"

namespace {

const std::vector<std::string> kEnglishWords = {
    "the",     "and",    "of",      "to",     "that",    "in",      "he",     "shall",   "unto",   "for",
    "his",     "a",      "they",    "be",     "is",      "with",    "not",    "all",     "thou",   "them",
    "was",     "which",  "it",      "my",     "were",    "from",    "upon",   "land",    "people", "house",
    "king",    "city",   "water",   "great",  "day",     "went",    "came",   "spake",   "saying", "children",
    "mountain", "river", "bread",   "stone",  "gold",    "silver",  "field",  "servant", "word",   "heaven",
    "earth",   "light",  "darkness", "morning", "evening", "garden", "tree",   "fruit",   "seed",   "brother"};

// In UTF-8 here; turned into Windows-1251 before use.
const std::vector<std::string> kRussianWords = {
    "и",      "в",       "не",      "на",       "что",     "он",      "я",       "с",       "это",    "как",
    "а",      "по",      "но",      "они",      "к",       "у",       "же",      "вы",      "за",     "бы",
    "так",    "все",     "она",     "только",   "его",     "было",    "еще",     "уже",     "когда",  "время",
    "человек", "жизнь",  "день",    "рука",     "работа",  "слово",   "место",   "лицо",    "друг",   "глаз",
    "вопрос", "дом",     "сторона", "страна",   "мир",     "случай",  "голова",  "ребенок", "сила",   "конец",
    "вид",    "система", "часть",   "город",    "отношение", "женщина", "деньги", "земля",  "машина", "вода"};

constexpr std::uint32_t kEnglishSeed = 1611;  // the year of the King James Bible
constexpr std::uint32_t kRussianSeed = 1251;

class SentenceWriter {
 public:
  SentenceWriter(const std::vector<std::string>& words, std::uint32_t seed) : words_(words), random_(seed) {}

  void Write(std::string& text) {
    const std::size_t length = 4 + Draw(12);
    for (std::size_t i = 0; i < length; ++i) {
      if (i > 0) text += ' ';
      text += i == 0 ? Capitalised(FrequentWord()) : NextWord();
      if (i + 1 < length && Draw(8) == 0) text += ',';
    }
    text += Draw(4) == 0 ? ".\n" : ". ";
  }

 private:
  std::size_t Draw(std::size_t below) { return static_cast<std::size_t>(random_() % below); }

  // The least of three draws: early words come up far more often.
  const std::string& FrequentWord() {
    return words_[std::min({Draw(words_.size()), Draw(words_.size()), Draw(words_.size())})];
  }

  std::string NextWord() {
    const std::size_t kind = Draw(50);
    if (kind == 0) return vexa::bench::kCommonTokens[Draw(vexa::bench::kCommonTokens.size())];
    if (kind == 1) return std::to_string(Draw(2000));
    return FrequentWord();
  }

  static std::string Capitalised(const std::string& word) {
    return vexa::bench::UpperCase1251(word.substr(0, 1)) + word.substr(1);
  }

  const std::vector<std::string>& words_;
  std::mt19937 random_;
};

// At least `minBytes` bytes, ending with a whole sentence.
std::string SampleText(const std::vector<std::string>& words, std::uint32_t seed, std::size_t minBytes) {
  SentenceWriter writer(words, seed);
  std::string text;
  while (text.size() < minBytes) writer.Write(text);
  return text;
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DIR BYTES\n", argv[0]);
    return 2;
  }
  try {
    const std::filesystem::path directory = argv[1];
    const auto minBytes = static_cast<std::size_t>(std::stoul(argv[2]));
    std::vector<std::string> russianWords;
    for (const std::string& word : kRussianWords) russianWords.push_back(vexa::support::Utf8ToWindows1251(word));
    std::filesystem::create_directories(directory);
    WriteFile(directory / vexa::bench::kEnglishCorpusFile, SampleText(kEnglishWords, kEnglishSeed, minBytes));
    WriteFile(directory / vexa::bench::kRussianCorpusFile, SampleText(russianWords, kRussianSeed, minBytes));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_compare_sample_corpus: %s\n", error.what());
    return 1;
  }
  return 0;
}
