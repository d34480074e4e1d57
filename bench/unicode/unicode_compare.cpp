// vexa_unicode_compare: the Unicode analyzer beside SQLite FTS5's unicode61
// tokenizer (and porter over it for English) and beside the same work done
// with ICU (its UAX #29 word breaks and NFKC_Casefold, where the build has
// ICU: what the analyzer would cost on it), in one run, over the same
// UTF-8 documents of at most 64 KiB held in memory, English, German,
// Russian and Japanese (fetch_unicode_corpus.sh writes them).
//
//   vexa_unicode_compare [--rounds N] CORPUS_DIR
//
// Each row is one pass over a language's documents giving every word as an
// index would store it. Every pass runs once untimed, then N timed rounds
// interleave all of them, the order turned by one place a round; each
// figure is the median of the rounds. Throughput is in 10^6 bytes of UTF-8
// per second, the same bytes for every row.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#if defined(VEXA_BENCH_WITH_ICU)
#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#endif

#include "analysis/analyzer_factory.h"
#include "bench/compare/machine_description.h"

namespace vexa::unicode_bench {
namespace {

constexpr std::size_t kDocumentBytes = 64 * 1024;

// Documents of at most kDocumentBytes, cut at line ends.
std::vector<std::string> ReadDocuments(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::vector<std::string> documents(1);
  std::string line;
  while (std::getline(file, line)) {
    if (documents.back().size() + line.size() + 1 > kDocumentBytes) documents.emplace_back();
    documents.back() += line;
    documents.back() += '\n';
  }
  return documents;
}

struct Pass {
  std::size_t words = 0;
  std::size_t bytes = 0;  // of the words, a check that rounds agree
  bool operator!=(const Pass& other) const { return words != other.words || bytes != other.bytes; }
};

class Fts5Tokenizer {
 public:
  // `arguments` as FTS5's tokenize= option takes them, e.g. {"porter", "unicode61"}.
  Fts5Tokenizer(sqlite3* database, std::vector<std::string> arguments) : arguments_(std::move(arguments)) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database, "SELECT fts5(?1)", -1, &statement, nullptr) != SQLITE_OK) {
      throw std::runtime_error("SQLite has no FTS5");
    }
    fts5_api* api = nullptr;
    sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    void* context = nullptr;
    if (api == nullptr || api->xFindTokenizer(api, arguments_[0].c_str(), &context, &methods_) != SQLITE_OK) {
      throw std::runtime_error("FTS5 has no tokenizer " + arguments_[0]);
    }
    std::vector<const char*> rest;
    for (std::size_t i = 1; i < arguments_.size(); ++i) rest.push_back(arguments_[i].c_str());
    if (methods_.xCreate(context, rest.data(), static_cast<int>(rest.size()), &instance_) != SQLITE_OK) {
      throw std::runtime_error("FTS5 cannot create the tokenizer " + arguments_[0]);
    }
  }
  ~Fts5Tokenizer() { methods_.xDelete(instance_); }
  Fts5Tokenizer(const Fts5Tokenizer&) = delete;
  Fts5Tokenizer& operator=(const Fts5Tokenizer&) = delete;

  Pass Run(const std::vector<std::string>& documents) const {
    Pass pass;
    for (const std::string& document : documents) {
      methods_.xTokenize(instance_, &pass, FTS5_TOKENIZE_DOCUMENT, document.data(), static_cast<int>(document.size()),
                         [](void* context, int, const char*, int length, int, int) {
                           auto* counted = static_cast<Pass*>(context);
                           ++counted->words;
                           counted->bytes += static_cast<std::size_t>(length);
                           return SQLITE_OK;
                         });
    }
    return pass;
  }

 private:
  std::vector<std::string> arguments_;
  fts5_tokenizer methods_{};
  ::Fts5Tokenizer* instance_ = nullptr;
};

#if defined(VEXA_BENCH_WITH_ICU)
// Words by ICU's word break iterator (letters, numbers and ideographs), each
// normalised by NFKC_Casefold and turned back into UTF-8.
class IcuWords {
 public:
  IcuWords() {
    UErrorCode status = U_ZERO_ERROR;
    breaks_.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
    folding_ = icu::Normalizer2::getNFKCCasefoldInstance(status);
    if (U_FAILURE(status)) throw std::runtime_error(std::string("ICU: ") + u_errorName(status));
  }

  Pass Run(const std::vector<std::string>& documents) const {
    Pass pass;
    std::string word;
    for (const std::string& document : documents) {
      const icu::UnicodeString text = icu::UnicodeString::fromUTF8(document);
      breaks_->setText(text);
      std::int32_t begin = breaks_->first();
      for (std::int32_t end = breaks_->next(); end != icu::BreakIterator::DONE; begin = end, end = breaks_->next()) {
        if (breaks_->getRuleStatus() < UBRK_WORD_NUMBER) continue;  // blanks and punctuation
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString folded = folding_->normalize(text.tempSubStringBetween(begin, end), status);
        word.clear();
        folded.toUTF8String(word);
        ++pass.words;
        pass.bytes += word.size();
      }
    }
    return pass;
  }

 private:
  std::unique_ptr<icu::BreakIterator> breaks_;
  const icu::Normalizer2* folding_ = nullptr;
};
#endif

Pass RunAnalyzer(const index::TextAnalyzer& analyzer, const std::vector<std::string>& documents) {
  Pass pass;
  for (const std::string& document : documents) {
    analyzer.DocumentWords(document, [&pass](std::string_view word) {
      ++pass.words;
      pass.bytes += word.size();
    });
  }
  return pass;
}

struct Row {
  std::string name;
  std::function<Pass()> run;
  Pass result;
  std::vector<double> seconds;
};

struct Language {
  std::string name;
  std::vector<std::string> documents;
  std::vector<Row> rows;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int Run(int rounds, const std::string& corpus) {
  sqlite3* database = nullptr;
  if (sqlite3_open(":memory:", &database) != SQLITE_OK) throw std::runtime_error("cannot open SQLite");
  const Fts5Tokenizer unicode61(database, {"unicode61"});
  const Fts5Tokenizer porter(database, {"porter", "unicode61"});
  const auto plain = analysis::MakeAnalyzer(analysis::ParseAnalyzerChoice("unicode"), "");
#if defined(VEXA_BENCH_WITH_ICU)
  const IcuWords icu;
#endif
  const struct {
    const char* name;
    const char* stemmer;  // Snowball's, or null
  } kLanguages[] = {{"english", "english"}, {"german", "german"}, {"russian", "russian"}, {"japanese", nullptr}};
  std::vector<std::unique_ptr<index::TextAnalyzer>> stemming;
  std::vector<Language> languages;
  languages.reserve(std::size(kLanguages));  // the rows keep pointers to their documents
  for (const auto& choice : kLanguages) {
    Language language{choice.name, ReadDocuments(corpus + "/" + choice.name + ".txt"), {}};
    const std::vector<std::string>* documents = nullptr;
    languages.push_back(std::move(language));
    documents = &languages.back().documents;
    std::vector<Row>& rows = languages.back().rows;
    rows.push_back({"Vexa unicode", [&plain, documents] { return RunAnalyzer(*plain, *documents); }, {}, {}});
    rows.push_back({"FTS5 unicode61", [&unicode61, documents] { return unicode61.Run(*documents); }, {}, {}});
#if defined(VEXA_BENCH_WITH_ICU)
    rows.push_back({"ICU words, NFKC_Casefold", [&icu, documents] { return icu.Run(*documents); }, {}, {}});
#endif
    if (choice.stemmer != nullptr) {
      stemming.push_back(
          analysis::MakeAnalyzer(analysis::ParseAnalyzerChoice(std::string("unicode stem=") + choice.stemmer), ""));
      const index::TextAnalyzer* stemmer = stemming.back().get();
      rows.push_back({std::string("Vexa unicode stem=") + choice.stemmer,
                      [stemmer, documents] { return RunAnalyzer(*stemmer, *documents); }, {}, {}});
    }
    if (std::string(choice.name) == "english") {
      rows.push_back({"FTS5 porter unicode61", [&porter, documents] { return porter.Run(*documents); }, {}, {}});
    }
  }
  std::vector<Row*> passes;
  for (Language& language : languages) {
    for (Row& row : language.rows) {
      row.result = row.run();
      passes.push_back(&row);
    }
  }
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t step = 0; step < passes.size(); ++step) {
      Row& row = *passes[(step + static_cast<std::size_t>(round)) % passes.size()];
      const auto start = std::chrono::steady_clock::now();
      const Pass result = row.run();
      row.seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      if (result != row.result) throw std::runtime_error(row.name + " gave another result in a later round");
    }
  }
  std::printf("machine: %s\nSQLite %s; %d rounds, medians\n\n", compare::MachineDescription().c_str(),
              sqlite3_libversion(), rounds);
  for (const Language& language : languages) {
    std::size_t bytes = 0;
    for (const std::string& document : language.documents) bytes += document.size();
    std::printf("%s: %zu documents, %.2f MB of UTF-8\n", language.name.c_str(), language.documents.size(),
                static_cast<double>(bytes) / 1e6);
    std::printf("  %-28s %9s %12s %10s\n", "", "MB/s", "words/pass", "ms/pass");
    double fts5 = 0;
    for (const Row& row : language.rows) {
      const double seconds = Median(row.seconds);
      const double rate = static_cast<double>(bytes) / seconds / 1e6;
      if (row.name == "FTS5 unicode61") fts5 = rate;
      std::printf("  %-28s %9.1f %12zu %10.2f\n", row.name.c_str(), rate, row.result.words, seconds * 1e3);
    }
    const double vexa = static_cast<double>(bytes) / Median(language.rows[0].seconds) / 1e6;
    std::printf("  Vexa unicode / FTS5 unicode61: %.2fx\n\n", vexa / fts5);
  }
  sqlite3_close(database);
  return 0;
}

}  // namespace
}  // namespace vexa::unicode_bench

int main(int argc, char** argv) {
  int rounds = 5;
  int at = 1;
  if (argc > 2 && std::string(argv[1]) == "--rounds") {
    rounds = std::max(1, std::atoi(argv[2]));
    at = 3;
  }
  if (at + 1 != argc) {
    std::fprintf(stderr, "usage: vexa_unicode_compare [--rounds N] CORPUS_DIR\n");
    return 2;
  }
  try {
    return vexa::unicode_bench::Run(rounds, argv[at]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_unicode_compare: %s\n", error.what());
    return 1;
  }
}
