// vexa_compare: Vexa beside SQLite FTS5's ascii and unicode61 tokenizers and
// a bare scan of word runs, in one run, over the same 64 KiB documents of the
// English and the Russian (Windows-1251) corpus held in memory.
//
//   vexa_compare [--rounds N] CORPUS_DIR
//
// CORPUS_DIR holds english.txt and russian-1251.txt as bench/fetch_corpus.sh
// writes them. Vexa is a copy of the built Vexa.so per language, loaded with
// dlopen as the server loads it, with that language's 500 most frequent
// words as stop words and a small token list; it is called per document as
// the server calls it (vexa_pass.h). Its figure for the ratios is the BLOB
// cycle, Parser_AddBlob, since the server hands large documents over as
// BLOBs. Three more Vexa rows tell where its time goes: the string cycle
// (Parser_Add), the BLOB cycle without reading the words back, and the BLOB
// cycle of a copy without word lists. One more is the UDR module's path
// (udr_fetch_pass.h), which must give the same words. Each figure is the median of N
// interleaved rounds (rounds.h).
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/compare/compare_options.h"
#include "bench/compare/compared_language.h"
#include "bench/compare/comparison_table.h"
#include "bench/compare/contender_pass.h"
#include "bench/compare/fts5_tokenizer.h"
#include "bench/compare/machine_description.h"
#include "bench/compare/result_release.h"
#include "bench/compare/rounds.h"
#include "bench/compare/run_scan.h"
#include "bench/corpus_documents.h"

namespace {

using vexa::compare::ComparedLanguage;
using vexa::compare::Contender;
using vexa::compare::ContenderIndex;

vexa::compare::LanguageSummary SummaryOf(const ComparedLanguage& language) {
  vexa::compare::LanguageSummary summary;
  summary.name = language.name;
  summary.file = language.file.string();
  summary.documents = language.corpus.documents.size();
  summary.bytes = vexa::bench::TotalBytes(language.corpus.documents);
  summary.utf8Bytes = vexa::bench::TotalBytes(language.utf8Documents);
  summary.stopWords = language.lists.stopWords.size();
  summary.tokens = language.lists.tokens.size();
  return summary;
}

// Parser_Add and Parser_AddBlob must give the same words of the same
// documents; anything else means the comparison is not of like with like.
void CheckIntakesAgree(const ComparedLanguage& language, const vexa::compare::Measurements& measurements,
                       std::size_t index) {
  const auto& contenders = measurements[index];
  if (contenders[ContenderIndex(Contender::kVexaAddBlob)].result !=
      contenders[ContenderIndex(Contender::kVexaAdd)].result) {
    throw std::runtime_error(language.name + ": Parser_AddBlob and Parser_Add gave different words");
  }
  if (contenders[ContenderIndex(Contender::kVexaAddBlob)].result !=
      contenders[ContenderIndex(Contender::kVexaUdrFetch)].result) {
    throw std::runtime_error(language.name + ": the UDR fetch path and Parser_AddBlob gave different words");
  }
}

int Compare(const vexa::compare::CompareOptions& options) {
  const std::string loadBefore = vexa::compare::CurrentLoadAverages();
  std::vector<ComparedLanguage> languages;
  languages.push_back(vexa::compare::LoadComparedLanguage(
      "English", options.corpusDir / vexa::bench::kEnglishCorpusFile, vexa::bench::Alphabet::kLatin, VEXA_MODULE_FILE));
  languages.push_back(vexa::compare::LoadComparedLanguage("Russian (Windows-1251)",
                                                          options.corpusDir / vexa::bench::kRussianCorpusFile,
                                                          vexa::bench::Alphabet::kCyrillic, VEXA_MODULE_FILE));

  const vexa::compare::ResultRelease release(vexa::compare::LoadedServerUtilityLibrary());
  const vexa::compare::Fts5Database database;
  const vexa::compare::SqliteTokenizer ascii(database, "ascii");
  const vexa::compare::SqliteTokenizer unicode61(database, "unicode61");
  const vexa::compare::WordCharacterTable wordCharacters = vexa::compare::ModuleWordCharacterTable();
  const vexa::compare::PassTools tools{release, ascii, unicode61, wordCharacters};

  std::printf("machine: %s\n", vexa::compare::MachineDescription().c_str());
  std::printf("module: copies of %s; Parser_Next results freed with %s\n", VEXA_MODULE_FILE,
              release.Description().c_str());
  std::printf("SQLite %s; FTS5 tokenizers with their default options\n", sqlite3_libversion());
  std::printf("load average before: %s\n\n", loadBefore.c_str());
  std::fflush(stdout);

  const vexa::compare::Measurements measurements = vexa::compare::MeasureRounds(
      languages.size(), options.rounds, [&](const vexa::compare::ScheduledPass& pass) {
        return vexa::compare::RunPass(pass.contender, languages[pass.language], tools);
      });

  for (std::size_t i = 0; i < languages.size(); ++i) {
    CheckIntakesAgree(languages[i], measurements, i);
    std::printf("%s\n", vexa::compare::ComparisonTable(SummaryOf(languages[i]), measurements[i]).c_str());
  }
  std::printf("load average after: %s\n", vexa::compare::CurrentLoadAverages().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  vexa::compare::CompareOptions options;
  try {
    options = vexa::compare::ParseCompareOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "vexa_compare: %s\n%s\n", error.what(), vexa::compare::kUsage);
    return 2;
  }
  try {
    return Compare(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_compare: %s\n", error.what());
    return 1;
  }
}
