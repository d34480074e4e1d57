// vexa_compare: Vexa beside SQLite FTS5's ascii and unicode61 tokenizers and
// a bare scan of word runs, in one run, over the same 64 KiB documents of the
// English and the Russian (Windows-1251) corpus held in memory.
//
//   vexa_compare [--rounds N] CORPUS_DIR
//
// CORPUS_DIR holds english.txt and russian-1251.txt as bench/corpus/fetch_corpus.sh
// writes them. Vexa is a copy of the built Vexa.so per language, loaded with
// dlopen as the server loads it, with that language's 500 most frequent words
// as stop words and a small token list, and called per document as the
// server's full-text triggers call it. Its figure for the ratios is the BLOB
// cycle, Parser_AddBlob, since the server hands large documents over as
// BLOBs. Three more Vexa rows tell where its time goes: the string cycle
// (Parser_Add), the BLOB cycle without reading the words back, and the BLOB
// cycle of a copy without word lists. One more is the UDR module's path,
// which must give the same words.
//
// Each benchmark is one function below that makes one pass over a
// language's documents and returns the words it produced and a checksum of
// them. Every pass runs once untimed, then N timed rounds interleave all of
// them, the order turned by one place a round so that a burst of load from
// elsewhere falls on all alike; each figure is the median of the N rounds.
// A pass that gives another result in a later round, or Vexa paths that
// disagree on the words, stop the run.
#include <dlfcn.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/compare/machine_description.h"
#include "support/windows1251_utf8.h"
#include "bench/corpus/corpus.h"
#include "bench/corpus/corpus_documents.h"
#include "bench/corpus/corpus_word_lists.h"
#include "bench/corpus/corpus_words.h"
#include "bench/corpus/frequent_words.h"
#include "bench/module_setup/module_ini.h"
#include "bench/module_setup/module_layout.h"
#include "bench/module_setup/vexa_module.h"
#include "config/configuration.h"
#include "config/engine_settings.h"
#include "frame/udr/word_rows.h"
#include "platform/platform.h"
#include "support/host/host_blob_callback.h"
#include "support/host/loaded_objects.h"

namespace vexa::compare {
namespace {

// ---------------------------------------------------------------- flags

constexpr const char* kUsage = "usage: vexa_compare [--rounds N] CORPUS_DIR";
constexpr std::size_t kDefaultRounds = 7;
constexpr std::size_t kMaxRounds = 1000;

struct Flags {
  std::filesystem::path corpusDir;
  std::size_t rounds = kDefaultRounds;
};

std::size_t ParseRounds(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 4) {
    throw std::invalid_argument("--rounds takes a number, not '" + text + "'");
  }
  const auto rounds = static_cast<std::size_t>(std::stoul(text));
  if (rounds == 0 || rounds > kMaxRounds) throw std::invalid_argument("--rounds takes 1 to 1000");
  return rounds;
}

// One corpus directory and --rounds N (or --rounds=N); anything else throws
// std::invalid_argument saying what is wrong.
Flags ParseFlags(int argc, char** argv) {
  Flags flags;
  bool haveDirectory = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--rounds") {
      if (i + 1 == argc) throw std::invalid_argument("--rounds needs a number");
      flags.rounds = ParseRounds(argv[++i]);
    } else if (argument.rfind("--rounds=", 0) == 0) {
      flags.rounds = ParseRounds(argument.substr(std::strlen("--rounds=")));
    } else if (argument.rfind('-', 0) == 0) {
      throw std::invalid_argument("unknown option " + argument);
    } else if (haveDirectory) {
      throw std::invalid_argument("one corpus directory only");
    } else {
      flags.corpusDir = argument;
      haveDirectory = true;
    }
  }
  if (!haveDirectory) throw std::invalid_argument("no corpus directory");
  return flags;
}

// ---------------------------------------------------------------- what a pass gives

// The words a pass produced and a checksum of them: the same in every round,
// and it keeps the compiler from dropping work whose result is unused.
struct PassResult {
  std::int64_t words = 0;
  std::uint64_t checksum = 0;

  bool operator==(const PassResult& other) const { return words == other.words && checksum == other.checksum; }
  bool operator!=(const PassResult& other) const { return !(*this == other); }

  // Counts one word of `length` bytes into the checksum. Every path that
  // yields words uses it, so that the Vexa paths can be compared.
  void AddWord(const unsigned char* bytes, std::size_t length) {
    std::uint64_t hash = 0;
    for (std::size_t i = 0; i < length; ++i) hash = hash * 31 + bytes[i];
    ++words;
    checksum += hash;
  }
  void AddCrc(std::uint32_t crc) { checksum ^= std::uint64_t{crc} << 16; }
};

// ---------------------------------------------------------------- the languages

// The stop-word list holds the corpus's most frequent words, this many.
constexpr std::size_t kStopWordCount = 500;

// The UDR module's configuration, read as it reads it beside its own file.
struct UdrSettings {
  explicit UdrSettings(const std::filesystem::path& moduleDirectory) {
    const std::string directory = moduleDirectory.string() + "/";
    const TConfigFile config(directory + kConfigFileName);
    if (platform::IsExistingFile(config.Path())) ReadConfiguration(config, directory, settings);
  }
  TEngineSettings settings;
};

// A language's corpus cut into documents, its word lists, a copy of Vexa.so
// laid out with them and one with the same Vexa.ini alone (what the lists
// cost), the UDR module's view of the first, and the documents in UTF-8 for
// the tokenizer that reads Unicode.
struct Language {
  std::string name;
  std::filesystem::path file;
  bench::Corpus corpus;
  bench::WordLists lists;
  std::unique_ptr<bench::VexaModule> module;
  std::unique_ptr<bench::VexaModule> moduleWithoutLists;
  std::unique_ptr<UdrSettings> udr;
  std::vector<std::string> utf8Documents;
};

Language LoadLanguage(const std::string& name, const std::filesystem::path& file, bench::Alphabet alphabet) {
  using bench::ModuleConfiguration;
  Language language{name, file, bench::LoadCorpus(name, file), {}, nullptr, nullptr, nullptr, {}};
  language.lists = bench::CorpusWordLists(language.corpus, alphabet, bench::kMinWordLength);
  language.lists.stopWords =
      bench::MostFrequentWords(language.corpus.words, alphabet, bench::kMinWordLength, kStopWordCount);
  language.module = std::make_unique<bench::VexaModule>(
      VEXA_MODULE_FILE, bench::LayoutFor(ModuleConfiguration::kWordLists, language.lists, {}));
  language.moduleWithoutLists = std::make_unique<bench::VexaModule>(
      VEXA_MODULE_FILE, bench::LayoutFor(ModuleConfiguration::kNoLists, language.lists, {}));
  language.udr = std::make_unique<UdrSettings>(language.module->Directory());
  for (const std::string& document : language.corpus.documents) {
    language.utf8Documents.push_back(support::Windows1251ToUtf8(document));
  }
  return language;
}

// ---------------------------------------------------------------- the host side of Vexa

// How the host frees Parser_Next's strings. The module takes them from
// ib_util_malloc of the server's utility library when it loaded one, else
// from malloc. A utility library that exports ib_util_free gets them back
// through it; Firebird's exports none and allocates with malloc, so free is
// right for it and for the module's fallback alike.
class ResultRelease {
 public:
  ResultRelease() {
    const std::string path = vexa::host::LoadedObjectPath("libib_util.so");
    if (path.empty()) {
      description_ = "free (no libib_util.so loaded: the module allocates with malloc)";
      return;
    }
    // RTLD_NOLOAD: only the library the module loaded; the reference this
    // takes is given back by the destructor.
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    void* address = library_ != nullptr ? dlsym(library_, "ib_util_free") : nullptr;
    if (library_ == nullptr) {
      description_ = "free (" + path + " is not loaded)";
    } else if (address == nullptr) {
      description_ = "free (" + path + " exports no ib_util_free; its ib_util_malloc is malloc)";
    } else {
      free_ = reinterpret_cast<void (*)(void*)>(address);  // its result is ignored, as the server ignores it
      description_ = "ib_util_free of " + path;
    }
  }
  ~ResultRelease() {
    if (library_ != nullptr) dlclose(library_);
  }
  ResultRelease(const ResultRelease&) = delete;
  ResultRelease& operator=(const ResultRelease&) = delete;

  void Free(char* result) const { free_(result); }
  const std::string& Description() const { return description_; }

 private:
  void* library_ = nullptr;
  void (*free_)(void*) = [](void* pointer) { std::free(pointer); };
  std::string description_;
};

// A document handed over as the server hands over a BLOB held in memory:
// its BLOB record, whose get-segment call copies out at most 65535 bytes.
class MemoryBlob {
 public:
  static constexpr std::size_t kMaxSegmentBytes = 65535;

  explicit MemoryBlob(std::string_view bytes) : bytes_(bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) throw std::length_error("a BLOB holds under 2 GiB");
    record_.blob_get_segment = &MemoryBlob::GetSegment;
    record_.blob_handle = this;
    record_.blob_number_segments = static_cast<std::int32_t>((bytes.size() + kMaxSegmentBytes - 1) / kMaxSegmentBytes);
    record_.blob_max_segment = static_cast<std::int32_t>(std::min(bytes.size(), kMaxSegmentBytes));
    record_.blob_total_length = static_cast<std::int32_t>(bytes.size());
  }
  MemoryBlob(const MemoryBlob&) = delete;
  MemoryBlob& operator=(const MemoryBlob&) = delete;

  const vexa::host::BlobCallback& Record() const { return record_; }

 private:
  static short GetSegment(void* handle, unsigned char* buffer, unsigned short bufferSize, unsigned short* length) {
    auto* blob = static_cast<MemoryBlob*>(handle);
    const std::size_t size =
        std::min({blob->bytes_.size() - blob->position_, kMaxSegmentBytes, static_cast<std::size_t>(bufferSize)});
    std::memcpy(buffer, blob->bytes_.data() + blob->position_, size);
    blob->position_ += size;
    *length = static_cast<unsigned short>(size);
    return size > 0 ? 1 : 0;
  }

  std::string_view bytes_;
  std::size_t position_ = 0;
  vexa::host::BlobCallback record_{};
};

// A parser handle that Parser_Free releases whatever happens.
class ParserHandle {
 public:
  explicit ParserHandle(const vexa::host::VexaExports& vexa) : vexa_(vexa), handle_(vexa.Parser_Create()) {
    if (handle_ == 0) throw std::runtime_error("Parser_Create gave no handle");
  }
  ~ParserHandle() { vexa_.Parser_Free(&handle_); }
  ParserHandle(const ParserHandle&) = delete;
  ParserHandle& operator=(const ParserHandle&) = delete;

  const std::int32_t* Get() const { return &handle_; }

 private:
  const vexa::host::VexaExports& vexa_;
  std::int32_t handle_;
};

void Require(std::int32_t answer, const char* call) {
  if (answer != 1) throw std::runtime_error(std::string(call) + " refused a good handle");
}

enum class Intake { kAddBlob, kAdd };
enum class Reading { kEveryWord, kNone };

// Per document: Parser_Create; the text with Parser_AddBlob or Parser_Add;
// unless told not to, Parser_Reset and Parser_Next until the empty string,
// each result freed as the server frees it; Parser_CRC; Parser_Free.
PassResult VexaCycle(const bench::VexaModule& module, const std::vector<std::string>& documents, Intake intake,
                     Reading reading, const ResultRelease& release) {
  const vexa::host::VexaExports& vexa = module.Exports();
  PassResult result;
  for (const std::string& document : documents) {
    const ParserHandle parser(vexa);
    if (intake == Intake::kAdd) {
      Require(vexa.Parser_Add(parser.Get(), document.c_str()), "Parser_Add");
    } else {
      const MemoryBlob blob(document);
      Require(vexa.Parser_AddBlob(parser.Get(), &blob.Record()), "Parser_AddBlob");
    }
    if (reading == Reading::kEveryWord) {
      Require(vexa.Parser_Reset(parser.Get()), "Parser_Reset");
      for (;;) {
        char* word = vexa.Parser_Next(parser.Get());
        if (word == nullptr) throw std::runtime_error("Parser_Next returned no string");
        const std::size_t length = std::strlen(word);
        if (length > 0) result.AddWord(reinterpret_cast<const unsigned char*>(word), length);
        release.Free(word);
        if (length == 0) break;
      }
    }
    result.AddCrc(static_cast<std::uint32_t>(vexa.Parser_CRC(parser.Get())));
  }
  return result;
}

// ---------------------------------------------------------------- FTS5

// SQLite FTS5's built-in tokenizers, called through the fts5_api tokenizer
// interface as FTS5 calls them for a document it indexes, with their default
// options, from an in-memory database.
class Fts5Tokenizers {
 public:
  Fts5Tokenizers() {
    if (sqlite3_open(":memory:", &database_) != SQLITE_OK) {
      const std::string message = database_ != nullptr ? sqlite3_errmsg(database_) : "out of memory";
      sqlite3_close(database_);
      throw std::runtime_error("cannot open an in-memory SQLite database: " + message);
    }
    try {
      fts5_api* api = Api();
      ascii_ = Create(api, "ascii");
      unicode61_ = Create(api, "unicode61");
    } catch (...) {
      Close();
      throw;
    }
  }
  ~Fts5Tokenizers() { Close(); }
  Fts5Tokenizers(const Fts5Tokenizers&) = delete;
  Fts5Tokenizers& operator=(const Fts5Tokenizers&) = delete;

  PassResult Ascii(const std::vector<std::string>& documents) const { return Tokenize(ascii_, documents); }
  PassResult Unicode61(const std::vector<std::string>& documents) const { return Tokenize(unicode61_, documents); }

 private:
  struct Tokenizer {
    std::string name;
    fts5_tokenizer methods{};
    ::Fts5Tokenizer* instance = nullptr;
  };

  fts5_api* Api() const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database_, "SELECT fts5(?1)", -1, &statement, nullptr) != SQLITE_OK) {
      throw std::runtime_error(std::string("SQLite has no FTS5: ") + sqlite3_errmsg(database_));
    }
    fts5_api* api = nullptr;
    sqlite3_bind_pointer(statement, 1, &api, "fts5_api_ptr", nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (api == nullptr) throw std::runtime_error("SQLite handed out no fts5_api pointer");
    return api;
  }

  static Tokenizer Create(fts5_api* api, const char* name) {
    Tokenizer tokenizer{name, {}, nullptr};
    void* context = nullptr;
    if (api->xFindTokenizer(api, name, &context, &tokenizer.methods) != SQLITE_OK) {
      throw std::runtime_error(std::string("FTS5 has no tokenizer ") + name);
    }
    if (tokenizer.methods.xCreate(context, nullptr, 0, &tokenizer.instance) != SQLITE_OK) {
      throw std::runtime_error(std::string("FTS5 cannot create the tokenizer ") + name);
    }
    return tokenizer;
  }

  static int CountToken(void* context, int /*flags*/, const char* token, int length, int /*start*/, int /*end*/) {
    static_cast<PassResult*>(context)->AddWord(reinterpret_cast<const unsigned char*>(token),
                                               static_cast<std::size_t>(length));
    return SQLITE_OK;
  }

  static PassResult Tokenize(const Tokenizer& tokenizer, const std::vector<std::string>& documents) {
    PassResult result;
    for (const std::string& document : documents) {
      if (document.size() > static_cast<std::size_t>(INT32_MAX)) {
        throw std::length_error("FTS5 takes texts under 2 GiB");
      }
      if (tokenizer.methods.xTokenize(tokenizer.instance, &result, FTS5_TOKENIZE_DOCUMENT, document.data(),
                                      static_cast<int>(document.size()), &CountToken) != SQLITE_OK) {
        throw std::runtime_error("the FTS5 tokenizer " + tokenizer.name + " failed");
      }
    }
    return result;
  }

  void Close() {
    for (Tokenizer* tokenizer : {&ascii_, &unicode61_}) {
      if (tokenizer->instance != nullptr) tokenizer->methods.xDelete(tokenizer->instance);
      tokenizer->instance = nullptr;
    }
    sqlite3_close(database_);
    database_ = nullptr;
  }

  sqlite3* database_ = nullptr;
  Tokenizer ascii_;
  Tokenizer unicode61_;
};

// ---------------------------------------------------------------- the benchmarks

// What the benchmarks share across languages.
struct Tools {
  ResultRelease release;
  Fts5Tokenizers fts5;
  std::array<std::uint8_t, 256> wordCharacters{};  // 1 for a word character of the Vexa.ini laid out
};

// The server's cycle, the text as a BLOB: the figure compared.
PassResult VexaAddBlob(const Language& language, const Tools& tools) {
  return VexaCycle(*language.module, language.corpus.documents, Intake::kAddBlob, Reading::kEveryWord, tools.release);
}

// The same cycle, the text as a string.
PassResult VexaAdd(const Language& language, const Tools& tools) {
  return VexaCycle(*language.module, language.corpus.documents, Intake::kAdd, Reading::kEveryWord, tools.release);
}

// The BLOB cycle without Parser_Reset and Parser_Next: what the full cycle
// costs beyond it is the price of handing the words over one call and one
// allocation at a time. No words; the checksum holds the CRCs.
PassResult VexaWithoutReading(const Language& language, const Tools& tools) {
  return VexaCycle(*language.module, language.corpus.documents, Intake::kAddBlob, Reading::kNone, tools.release);
}

// The BLOB cycle of a copy without word lists.
PassResult VexaWithoutLists(const Language& language, const Tools& tools) {
  return VexaCycle(*language.moduleWithoutLists, language.corpus.documents, Intake::kAddBlob, Reading::kEveryWord,
                   tools.release);
}

// The UDR module's path, in this process: its core configured from the same
// directory, a parser fed the text as the module's BLOB reading hands it
// over (one copy of the bytes), and every word copied into FT_WORDS' output
// message by the fetch's own code, with no allocation and no call into the
// host per word. What the engine adds around a fetch is not in it.
PassResult VexaUdrFetch(const Language& language, const Tools& /*tools*/) {
  // FT_WORDS' message in a single-byte database: POS INTEGER, then WORD
  // VARCHAR(31), each with its null indicator, laid out as the engine does.
  constexpr udr::WordRowLayout kLayout{{0, 4}, {6, 40, udr::kMaxWordBytes, udr::TextEncoding::kSingleByte}};
  unsigned char message[42] = {};
  PassResult result;
  for (const std::string& document : language.corpus.documents) {
    TParser parser(false, language.udr->settings);
    const std::string blobText(document);  // the module reads a BLOB into a buffer of its own
    parser.AddText(blobText.c_str());
    udr::WordRows rows(parser);
    udr::WordRows::Prepare(message, kLayout);
    while (rows.Next(message, kLayout)) {
      std::uint16_t length;
      std::memcpy(&length, message + kLayout.word.offset, sizeof length);
      result.AddWord(message + kLayout.word.offset + 2, length);
    }
    result.AddCrc(parser.CRC());
  }
  return result;
}

// FTS5's ascii tokenizer over the same bytes.
PassResult Fts5Ascii(const Language& language, const Tools& tools) {
  return tools.fts5.Ascii(language.corpus.documents);
}

// FTS5's unicode61 tokenizer over the documents in UTF-8.
PassResult Fts5Unicode61(const Language& language, const Tools& tools) {
  return tools.fts5.Unicode61(language.utf8Documents);
}

// The least any splitter of these texts must do: read every byte once and
// count the runs of word characters, one table look-up a byte, nothing
// copied. Words: the runs; checksum: the word characters.
PassResult BareRunScan(const Language& language, const Tools& tools) {
  std::uint64_t runs = 0;
  std::uint64_t characters = 0;
  for (const std::string& document : language.corpus.documents) {
    std::uint8_t previous = 0;
    for (const char byte : document) {
      const std::uint8_t current = tools.wordCharacters[static_cast<unsigned char>(byte)];
      runs += current & (previous ^ 1U);
      characters += current;
      previous = current;
    }
  }
  return PassResult{static_cast<std::int64_t>(runs), characters};
}

struct Benchmark {
  const char* name;  // its row in the report
  PassResult (*run)(const Language&, const Tools&);
};

// In the order of the report; the indices below name the ones the ratios use.
constexpr Benchmark kBenchmarks[] = {
    {"Vexa, Parser_AddBlob", &VexaAddBlob},         {"Vexa, Parser_Add", &VexaAdd},
    {"Vexa, AddBlob, no Next", &VexaWithoutReading}, {"Vexa, AddBlob, no lists", &VexaWithoutLists},
    {"Vexa, UDR fetch path", &VexaUdrFetch},        {"FTS5 ascii", &Fts5Ascii},
    {"FTS5 unicode61 (UTF-8)", &Fts5Unicode61},     {"bare run scan", &BareRunScan},
};
constexpr std::size_t kBenchmarkCount = std::size(kBenchmarks);
enum BenchmarkIndex : std::size_t { kAddBlob = 0, kAdd = 1, kUdrFetch = 4, kAscii = 5, kUnicode61 = 6, kRunScan = 7 };

// ---------------------------------------------------------------- rounds

struct Measurement {
  PassResult result;            // of the untimed first pass; every timed one gave the same
  std::vector<double> seconds;  // one a round
};

// measurements[language][benchmark]
using Measurements = std::vector<std::vector<Measurement>>;

Measurements MeasureRounds(const std::vector<Language>& languages, const Tools& tools, std::size_t rounds) {
  // Every (language, benchmark) pass once a round, the order turned left by
  // one place from round to round.
  const std::size_t passes = languages.size() * kBenchmarkCount;
  Measurements measurements(languages.size(), std::vector<Measurement>(kBenchmarkCount));
  for (std::size_t pass = 0; pass < passes; ++pass) {
    const std::size_t language = pass / kBenchmarkCount;
    const std::size_t benchmark = pass % kBenchmarkCount;
    measurements[language][benchmark].result = kBenchmarks[benchmark].run(languages[language], tools);
  }
  for (std::size_t round = 0; round < rounds; ++round) {
    for (std::size_t step = 0; step < passes; ++step) {
      const std::size_t pass = (step + round) % passes;
      const std::size_t language = pass / kBenchmarkCount;
      const std::size_t benchmark = pass % kBenchmarkCount;
      Measurement& measurement = measurements[language][benchmark];
      const auto start = std::chrono::steady_clock::now();
      const PassResult result = kBenchmarks[benchmark].run(languages[language], tools);
      const auto stop = std::chrono::steady_clock::now();
      if (result != measurement.result) {
        throw std::runtime_error(std::string(kBenchmarks[benchmark].name) + " gave another result in round " +
                                 std::to_string(round + 1) + " than in its first pass");
      }
      measurement.seconds.push_back(std::chrono::duration<double>(stop - start).count());
    }
  }
  return measurements;
}

// Parser_Add, Parser_AddBlob and the UDR path must give the same words of the
// same documents; anything else means the comparison is not of like with like.
void CheckVexaPathsAgree(const Language& language, const std::vector<Measurement>& measured) {
  if (measured[kAddBlob].result != measured[kAdd].result) {
    throw std::runtime_error(language.name + ": Parser_AddBlob and Parser_Add gave different words");
  }
  if (measured[kAddBlob].result != measured[kUdrFetch].result) {
    throw std::runtime_error(language.name + ": the UDR fetch path and Parser_AddBlob gave different words");
  }
}

// ---------------------------------------------------------------- report

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Per benchmark the median throughput in MB/s (10^6 bytes of the documents
// as stored, for every benchmark alike) and words/s (its own words), the
// words and the time of one pass; then the ratios of Vexa's figure
// (Parser_AddBlob) and of the UDR path's to the others.
void PrintReport(const Language& language, const std::vector<Measurement>& measured) {
  constexpr double kMega = 1e6;
  const std::size_t bytes = bench::TotalBytes(language.corpus.documents);
  const std::size_t rounds = measured.front().seconds.size();
  std::printf("%s: %s, %zu documents of at most 64 KiB, %.2f MB (%.2f MB in UTF-8); Vexa with %zu stop words and "
              "%zu tokens\n",
              language.name.c_str(), language.file.string().c_str(), language.corpus.documents.size(),
              static_cast<double>(bytes) / kMega,
              static_cast<double>(bench::TotalBytes(language.utf8Documents)) / kMega,
              language.lists.stopWords.size(), language.lists.tokens.size());
  std::printf("  %-26s %9s %10s %12s %10s %s\n",
              ("median of " + std::to_string(rounds) + (rounds == 1 ? " round" : " rounds")).c_str(), "MB/s",
              "Mwords/s", "words/pass", "ms/pass", "(min..max)");
  std::vector<double> bytesPerSecond;
  for (std::size_t i = 0; i < kBenchmarkCount; ++i) {
    const Measurement& measurement = measured[i];
    const double seconds = Median(measurement.seconds);
    const auto [fastest, slowest] = std::minmax_element(measurement.seconds.begin(), measurement.seconds.end());
    char wordRate[32] = "-";
    if (measurement.result.words > 0) {
      std::snprintf(wordRate, sizeof wordRate, "%.2f", static_cast<double>(measurement.result.words) / seconds / kMega);
    }
    bytesPerSecond.push_back(static_cast<double>(bytes) / seconds);
    std::printf("  %-26s %9.1f %10s %12lld %10.2f (%.2f..%.2f)\n", kBenchmarks[i].name, bytesPerSecond.back() / kMega,
                wordRate, static_cast<long long>(measurement.result.words), seconds * 1e3, *fastest * 1e3,
                *slowest * 1e3);
  }
  const double vexa = bytesPerSecond[kAddBlob];
  const double udr = bytesPerSecond[kUdrFetch];
  std::printf("  Vexa/FTS5-ascii %.2fx   Vexa/bare-scan %.2fx   Vexa/FTS5-unicode61 %.2fx   (Vexa: Parser_AddBlob, "
              "by MB/s)\n",
              vexa / bytesPerSecond[kAscii], vexa / bytesPerSecond[kRunScan], vexa / bytesPerSecond[kUnicode61]);
  std::printf("  Vexa-UDR/FTS5-ascii %.2fx   Vexa-UDR/Vexa %.2fx   (Vexa-UDR: the UDR fetch path)\n\n",
              udr / bytesPerSecond[kAscii], udr / vexa);
}

int Run(const Flags& flags) {
  const std::string loadBefore = CurrentLoadAverages();
  std::vector<Language> languages;
  languages.push_back(
      LoadLanguage("English", flags.corpusDir / bench::kEnglishCorpusFile, bench::Alphabet::kLatin));
  languages.push_back(LoadLanguage("Russian (Windows-1251)", flags.corpusDir / bench::kRussianCorpusFile,
                                   bench::Alphabet::kCyrillic));

  // After the modules are loaded: the release follows what they loaded.
  const auto tools = std::make_unique<Tools>();
  for (std::size_t byte = 0; byte < tools->wordCharacters.size(); ++byte) {
    tools->wordCharacters[byte] = bench::IsModuleWordCharacter(static_cast<char>(byte)) ? 1 : 0;
  }

  std::printf("machine: %s\n", MachineDescription().c_str());
  std::printf("module: copies of %s; Parser_Next results freed with %s\n", VEXA_MODULE_FILE,
              tools->release.Description().c_str());
  std::printf("SQLite %s; FTS5 tokenizers with their default options\n", sqlite3_libversion());
  std::printf("load average before: %s\n\n", loadBefore.c_str());
  std::fflush(stdout);

  const Measurements measurements = MeasureRounds(languages, *tools, flags.rounds);
  for (std::size_t i = 0; i < languages.size(); ++i) {
    CheckVexaPathsAgree(languages[i], measurements[i]);
    PrintReport(languages[i], measurements[i]);
  }
  std::printf("load average after: %s\n", CurrentLoadAverages().c_str());
  return 0;
}

}  // namespace

int Main(int argc, char** argv) {
  Flags flags;
  try {
    flags = ParseFlags(argc, argv);
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "vexa_compare: %s\n%s\n", error.what(), kUsage);
    return 2;
  }
  try {
    return Run(flags);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_compare: %s\n", error.what());
    return 1;
  }
}

}  // namespace vexa::compare

int main(int argc, char** argv) { return vexa::compare::Main(argc, argv); }
