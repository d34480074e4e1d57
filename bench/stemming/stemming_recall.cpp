// vexa_stemming_recall: how many documents a word-form query finds with and
// without the Snowball stemming filter. Each corpus is indexed twice through
// the exports of the built module, as the full-text index does it: once with
// no filter, once with vexa_snowball.so as its only filter. A document is
// found when it holds every word the query parser gives for the query.
//
//   vexa_stemming_recall CONFIG_DIR BIBLE_RECORDS FORTUNE_RECORDS
//
// CONFIG_DIR holds Vexa.ini (its own [Filters] section is left out) and its
// word lists, as conf/ does; the records are documents as
// tools/fulltext_demo's awk scripts write them (a title, 0x1F, the text,
// 0x1E), the fortunes in Windows-1251.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/corpus/corpus_documents.h"
#include "bench/module_setup/module_layout.h"
#include "bench/module_setup/vexa_module.h"
#include "support/windows1251_utf8.h"

namespace {

using vexa::bench::VexaExports;
using Words = std::vector<std::string>;

// Queries in UTF-8: forms of a word that a plain index tells apart.
const char* const kBibleQueries[] = {
    "loved",        "blessings",         "commandments",  "walking",        "kingdoms",
    "sinners",      "prophesied",        "fishes",        "singing praises", "builded houses",
    "shepherds feeding", "righteousness judgments",
};
const char* const kFortuneQueries[] = {
    "программисты", "женщины",         "деньгами",         "компьютеры",      "любовью",
    "дураков",      "начальника",      "пьяного",          "водки",      "умные женщины",
    "программисты компьютеры", "хорошие жены",
};

struct Document {
  std::string title;
  std::string text;
};

// Records: the title, 0x1F, the text, 0x1E.
std::vector<Document> ReadRecords(const std::filesystem::path& file) {
  const std::string all = vexa::bench::ReadCorpusFile(file);
  std::vector<Document> documents;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\x1E', start);
    if (end == std::string::npos) end = all.size();
    const std::size_t separator = all.find('\x1F', start);
    if (separator != std::string::npos && separator < end) {
      documents.push_back({all.substr(start, separator - start), all.substr(separator + 1, end - separator - 1)});
    }
    start = end + 1;
  }
  if (documents.empty()) throw std::runtime_error("no records in " + file.string());
  return documents;
}

std::string ReadFileOrEmpty(const std::filesystem::path& file) {
  return std::filesystem::exists(file) ? vexa::bench::ReadCorpusFile(file) : std::string();
}

// `ini` without its [Filters] section, if it has one: both indexes are
// then built with the filters this program names, and no other.
std::string WithoutFiltersSection(const std::string& ini) {
  std::string kept;
  bool inFilters = false;
  std::size_t start = 0;
  while (start < ini.size()) {
    std::size_t end = ini.find('\n', start);
    end = end == std::string::npos ? ini.size() : end + 1;
    const std::string line = ini.substr(start, end - start);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] == '[') inFilters = line.compare(first, 9, "[Filters]") == 0;
    if (!inFilters) kept += line;
    start = end;
  }
  return kept;
}

Words ReadWords(const VexaExports& vexa, std::int32_t handle) {
  Words words;
  for (;;) {
    char* word = vexa.Parser_Next(&handle);
    if (word == nullptr) throw std::runtime_error("Parser_Next returned no string");
    std::string text = word;
    std::free(word);
    if (text.empty()) return words;
    words.push_back(std::move(text));
  }
}

// The words a new parser of the given kind gives for `text`.
Words Split(const VexaExports& vexa, const std::string& text, bool query) {
  const std::int32_t handle = query ? vexa.Parser_CreateQuery() : vexa.Parser_Create();
  if (handle == 0) throw std::runtime_error("no parser handle");
  vexa.Parser_Add(&handle, text.c_str());
  vexa.Parser_Reset(&handle);
  Words words = ReadWords(vexa, handle);
  vexa.Parser_Free(&handle);
  return words;
}

// Word -> the ascending numbers of the documents that hold it.
class InvertedIndex {
 public:
  InvertedIndex(const VexaExports& vexa, const std::vector<Document>& documents) {
    for (std::size_t number = 0; number < documents.size(); ++number) {
      for (const std::string& word : Split(vexa, documents[number].text, false)) {
        std::vector<std::size_t>& postings = postings_[word];
        if (postings.empty() || postings.back() != number) postings.push_back(number);
      }
    }
  }

  std::size_t WordCount() const { return postings_.size(); }

  // The documents that hold every one of `words`; none for no words.
  std::size_t DocumentsWithAll(const Words& words) const {
    if (words.empty()) return 0;
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < words.size(); ++i) {
      const auto entry = postings_.find(words[i]);
      if (entry == postings_.end()) return 0;
      if (i == 0) {
        found = entry->second;
        continue;
      }
      std::vector<std::size_t> both;
      std::set_intersection(found.begin(), found.end(), entry->second.begin(), entry->second.end(),
                            std::back_inserter(both));
      found.swap(both);
    }
    return found.size();
  }

 private:
  std::map<std::string, std::vector<std::size_t>> postings_;
};

// `utf8` followed by spaces up to `width` characters.
std::string Padded(const std::string& utf8, std::size_t width) {
  std::size_t characters = 0;
  for (const char byte : utf8) characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
  return utf8 + std::string(characters < width ? width - characters : 1, ' ');
}

std::string Joined(const Words& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + vexa::support::Windows1251ToUtf8(word);
  return text;
}

void Compare(const char* name, const std::vector<Document>& documents, const char* const* queries,
             std::size_t queryCount, const VexaExports& plain, const VexaExports& stemmed) {
  const InvertedIndex plainIndex(plain, documents);
  const InvertedIndex stemmedIndex(stemmed, documents);
  std::printf("\n%s: %zu documents; %zu distinct index words without the filter, %zu with it\n", name,
              documents.size(), plainIndex.WordCount(), stemmedIndex.WordCount());
  std::printf("%s%9s %9s  %s%s\n", Padded("query", 28).c_str(), "without", "with", Padded("words without", 28).c_str(),
              "words with");
  for (std::size_t i = 0; i < queryCount; ++i) {
    const std::string query = vexa::support::Utf8ToWindows1251(queries[i]);
    const Words plainWords = Split(plain, query, true);
    const Words stemmedWords = Split(stemmed, query, true);
    std::printf("%s%9zu %9zu  %s%s\n", Padded(queries[i], 28).c_str(), plainIndex.DocumentsWithAll(plainWords),
                stemmedIndex.DocumentsWithAll(stemmedWords), Padded(Joined(plainWords), 28).c_str(),
                Joined(stemmedWords).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s CONFIG_DIR BIBLE_RECORDS FORTUNE_RECORDS\n", argv[0]);
    return 2;
  }
  try {
    const std::filesystem::path configDir = argv[1];
    vexa::bench::ModuleLayout layout;
    layout.iniText = WithoutFiltersSection(vexa::bench::ReadCorpusFile(configDir / "Vexa.ini"));
    layout.stopWordList = ReadFileOrEmpty(configDir / "Vexa_skip.lst");
    layout.tokenList = ReadFileOrEmpty(configDir / "Vexa_tkn.lst");
    const vexa::bench::VexaModule plain(VEXA_MODULE_FILE, layout);

    const std::filesystem::path filter = VEXA_SNOWBALL_FILTER_FILE;
    layout.iniText += "\n[Filters]\n" + filter.filename().string() + "=\n";
    layout.filterLibraries.push_back(filter);
    const vexa::bench::VexaModule stemmed(VEXA_MODULE_FILE, layout);

    std::printf("module %s, filter %s, configuration %s\n", VEXA_MODULE_FILE, VEXA_SNOWBALL_FILTER_FILE, argv[1]);
    Compare("King James Bible, a document per chapter", ReadRecords(argv[2]), kBibleQueries,
            std::size(kBibleQueries), plain.Exports(), stemmed.Exports());
    Compare("Russian fortunes, a document per fortune", ReadRecords(argv[3]), kFortuneQueries,
            std::size(kFortuneQueries), plain.Exports(), stemmed.Exports());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_stemming_recall: %s\n", error.what());
    return 1;
  }
  return 0;
}
