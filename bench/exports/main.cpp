// vexa_bench: throughput of the built Vexa.so, loaded as the server loads it,
// over an English and a Russian (Windows-1251) corpus, and over texts without
// a single blank (benchmark_registration.h names the benchmarks).
//
//   vexa_bench [--benchmark_... flags] CORPUS_DIR
//
// CORPUS_DIR holds english.txt and russian-1251.txt, as bench/corpus/fetch_corpus.sh
// writes them. Each language gets a copy of the module in each configuration
// of module_layout.h, each copy in a directory of its own, with word lists
// made from that language's corpus (corpus_word_lists.h), and one with the
// Snowball stemming filter and no lists (NoListsAndSnowball), where it is built.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/corpus/corpus.h"
#include "bench/corpus/corpus_documents.h"
#include "bench/corpus/corpus_word_lists.h"
#include "bench/exports/benchmark_registration.h"
#include "bench/exports/unbroken_documents.h"
#include "bench/exports/unbroken_text.h"
#include "bench/module_setup/module_ini.h"
#include "bench/module_setup/module_layout.h"
#include "bench/module_setup/vexa_module.h"

namespace {

using vexa::bench::ModuleConfiguration;

// The Snowball stemming filter, or empty where it is not built.
const std::string kSnowballFilterFile = VEXA_SNOWBALL_FILTER_FILE;
constexpr const char* kSnowballConfigurationName = "NoListsAndSnowball";

// One corpus, its word lists and a copy of the module in each configuration.
struct Language {
  vexa::bench::Corpus corpus;
  vexa::bench::WordLists lists;
  std::map<ModuleConfiguration, std::unique_ptr<vexa::bench::VexaModule>> modules;
  std::unique_ptr<vexa::bench::VexaModule> stemming;  // null without the filter

  const vexa::bench::VexaExports& Exports(ModuleConfiguration configuration) const {
    return modules.at(configuration)->Exports();
  }
};

Language LoadLanguage(const std::string& name, const std::filesystem::path& file, vexa::bench::Alphabet alphabet) {
  Language language{vexa::bench::LoadCorpus(name, file), {}, {}, nullptr};
  language.lists = vexa::bench::CorpusWordLists(language.corpus, alphabet, vexa::bench::kMinWordLength);
  for (const ModuleConfiguration configuration : vexa::bench::kAllConfigurations) {
    language.modules[configuration] = std::make_unique<vexa::bench::VexaModule>(
        VEXA_MODULE_FILE, vexa::bench::LayoutFor(configuration, language.lists, VEXA_SUFFIX_FILTER_FILE));
  }
  if (!kSnowballFilterFile.empty()) {
    language.stemming = std::make_unique<vexa::bench::VexaModule>(
        VEXA_MODULE_FILE, vexa::bench::FilterOnlyLayout(kSnowballFilterFile));
  }
  return language;
}

// Windows-1251 letters would print as noise on a UTF-8 terminal: bytes
// outside printable ASCII are shown as \xNN.
std::string Printable(const std::string& text) {
  std::string shown;
  for (const char byte : text) {
    const auto b = static_cast<unsigned char>(byte);
    if (b >= 0x20 && b < 0x7F) {
      shown += byte;
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", b);
      shown += escape;
    }
  }
  return shown;
}

std::string FirstEntries(const std::vector<std::string>& entries, std::size_t count) {
  std::string shown;
  for (std::size_t i = 0; i < entries.size() && i < count; ++i) shown += (i == 0 ? "" : " ") + Printable(entries[i]);
  return shown + (entries.size() > count ? " ..." : "");
}

void DescribeLanguage(const Language& language, const std::filesystem::path& file) {
  const vexa::bench::Corpus& corpus = language.corpus;
  benchmark::AddCustomContext("corpus " + corpus.name,
                              file.string() + ": " + std::to_string(vexa::bench::TotalBytes(corpus.documents)) +
                                  " bytes, " + std::to_string(corpus.documents.size()) + " documents, " +
                                  std::to_string(corpus.words.Count()) + " words");
  benchmark::AddCustomContext("stop words " + corpus.name, std::to_string(language.lists.stopWords.size()) + ": " +
                                                               FirstEntries(language.lists.stopWords, 12));
  benchmark::AddCustomContext("tokens " + corpus.name, std::to_string(language.lists.tokens.size()) + ": " +
                                                           FirstEntries(language.lists.tokens, 20));
  for (const auto& [configuration, module] : language.modules) {
    benchmark::AddCustomContext("module " + corpus.name + "/" + vexa::bench::ConfigurationName(configuration),
                                module->LoadedFile().string() + " (copy of " VEXA_MODULE_FILE ")");
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s [--benchmark_... flags] CORPUS_DIR\n", argv[0]);
    return 2;
  }
  try {
    const std::filesystem::path corpusDir = argv[1];
    const std::filesystem::path englishFile = corpusDir / vexa::bench::kEnglishCorpusFile;
    const std::filesystem::path russianFile = corpusDir / vexa::bench::kRussianCorpusFile;
    const Language english = LoadLanguage("English", englishFile, vexa::bench::Alphabet::kLatin);
    const Language russian = LoadLanguage("Russian1251", russianFile, vexa::bench::Alphabet::kCyrillic);

    const std::size_t unbrokenBytes =
        static_cast<std::size_t>(vexa::bench::kMaxUnbrokenMiB) * vexa::bench::kBytesPerMiB;
    const vexa::bench::UnbrokenDocuments urlDump =
        vexa::bench::CutUnbrokenDocuments("UrlDump", vexa::bench::UrlDumpText(english.corpus.words, unbrokenBytes));
    const vexa::bench::UnbrokenDocuments base64Dump =
        vexa::bench::CutUnbrokenDocuments("Base64Dump", vexa::bench::Base64DumpText(unbrokenBytes));

    DescribeLanguage(english, englishFile);
    DescribeLanguage(russian, russianFile);
    benchmark::AddCustomContext("filter", VEXA_SUFFIX_FILTER_FILE " (in the WordListsAndFilter configurations)");
    if (!kSnowballFilterFile.empty()) {
      benchmark::AddCustomContext("stemming filter", kSnowballFilterFile + " (in the " + kSnowballConfigurationName +
                                                         " configurations)");
    }
    benchmark::AddCustomContext("texts without blanks", "UrlDump (English words), Base64Dump; lists of English");

    for (const Language* language : {&english, &russian}) {
      for (const ModuleConfiguration configuration : vexa::bench::kAllConfigurations) {
        vexa::bench::RegisterParseDocuments(language->corpus, configuration, language->Exports(configuration));
      }
      if (language->stemming != nullptr) {
        vexa::bench::RegisterParseDocuments(language->corpus, kSnowballConfigurationName,
                                            language->stemming->Exports());
      }
    }
    for (const Language* language : {&english, &russian}) {
      vexa::bench::RegisterSoundCodes(language->corpus, language->Exports(ModuleConfiguration::kNoLists));
    }
    for (const vexa::bench::UnbrokenDocuments* documents : {&urlDump, &base64Dump}) {
      vexa::bench::RegisterParseWithoutBlanks(*documents, ModuleConfiguration::kWordLists,
                                              english.Exports(ModuleConfiguration::kWordLists));
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
