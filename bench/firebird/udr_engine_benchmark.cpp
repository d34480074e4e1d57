// The cost of the UDR module's routines in the embedded engine beside the
// same work done by PSQL over the nine exports of Vexa.so: every word of a
// corpus cut into documents (FT_WORDS against a Parser_Next loop), FT_TERMS,
// and single calls (FT_SOUND_CODE against StrSoundEX, FT_CRC against
// Parser_Create/AddBlob/CRC/Free). All loops run inside the engine, over a
// table of the documents. Prints figures; asserts nothing.
//
//   vexa_firebird_udr_bench CORPUS_FILE [DOCUMENT_BYTES]
//
// CORPUS_FILE is text in Windows-1251 or ASCII, e.g. english.txt of
// bench/corpus/fetch_corpus.sh (the King James Bible); it is cut at line ends into
// documents of about DOCUMENT_BYTES (3700 by default, a chapter's length).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fulltext_database.h"
#include "sql_connection.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 3;
constexpr std::int64_t kCalls = 200000;

std::vector<std::string> Documents(const std::string& file, std::size_t documentBytes) {
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> documents;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', std::min(text.size(), start + documentBytes));
    end = end == std::string::npos ? text.size() : end + 1;
    documents.push_back(text.substr(start, end - start));
    start = end;
  }
  return documents;
}

// Best of kRuns, in seconds, and the first row's first value.
double Best(Connection& connection, const std::string& sql, std::int64_t& value) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = Clock::now();
    value = AsInteger(connection.RunCommitted(sql).at(0)[0]);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

constexpr const char* kUdrWords = "SELECT COUNT(*) FROM DOCS D, FT_WORDS(D.TXT) W";
constexpr const char* kUdfWords =
    "EXECUTE BLOCK RETURNS (N INTEGER) AS DECLARE T BLOB SUB_TYPE TEXT; DECLARE H INTEGER; DECLARE R INTEGER; "
    "DECLARE W VARCHAR(31); BEGIN N = 0; FOR SELECT TXT FROM DOCS INTO :T DO BEGIN "
    "H = Parser_Create(); R = Parser_AddBlob(H, T); R = Parser_Reset(H); W = Parser_Next(H); "
    "WHILE (W <> '') DO BEGIN N = N + 1; W = Parser_Next(H); END R = Parser_Free(H); END SUSPEND; END";
constexpr const char* kUdrTerms = "SELECT COUNT(*) FROM DOCS D, FT_TERMS(D.TXT) T";
constexpr const char* kUdrCrc = "SELECT COUNT(FT_CRC(TXT)) FROM DOCS";
constexpr const char* kUdfCrc =
    "EXECUTE BLOCK RETURNS (N INTEGER) AS DECLARE T BLOB SUB_TYPE TEXT; DECLARE H INTEGER; DECLARE R INTEGER; "
    "BEGIN N = 0; FOR SELECT TXT FROM DOCS INTO :T DO BEGIN "
    "H = Parser_Create(); R = Parser_AddBlob(H, T); R = Parser_CRC(H); R = Parser_Free(H); N = N + 1; END "
    "SUSPEND; END";

std::string CallLoop(const std::string& call) {
  return "EXECUTE BLOCK RETURNS (N INTEGER) AS DECLARE C INTEGER; BEGIN N = 0; WHILE (N < " +
         std::to_string(kCalls) + ") DO BEGIN " + call + " N = N + 1; END SUSPEND; END";
}

void Report(const char* what, double seconds, double count, const char* unit, double bytes) {
  std::printf("  %-44s %8.3f s  %8.3f us/%s", what, seconds, seconds * 1e6 / count, unit);
  if (bytes > 0) std::printf("  %7.1f MB/s", bytes / seconds / 1e6);
  std::printf("\n");
}

int Run(const std::string& corpusFile, std::size_t documentBytes) {
  const std::vector<std::string> documents = Documents(corpusFile, documentBytes);
  double bytes = 0;
  for (const std::string& document : documents) bytes += static_cast<double>(document.size());
  const FulltextDatabase database(BuiltInConfiguration(), ServerMode::kClassic, "",
                                  {"WIN1251", {"vexa_functions.sql", "splitting_udr.sql"}});
  const auto connection = database.Connect();
  connection->RunCommitted("CREATE TABLE DOCS (ID INTEGER, TXT BLOB SUB_TYPE TEXT)");
  {
    Transaction transaction(*connection);
    for (std::size_t i = 0; i < documents.size(); ++i) {
      connection->Run(transaction, "INSERT INTO DOCS VALUES (?, ?)",
                      {static_cast<std::int64_t>(i), BlobText{documents[i]}});
    }
    transaction.Commit();
  }
  std::printf("%s: %zu documents, %.2f MB; embedded engine, best of %d runs\n", corpusFile.c_str(), documents.size(),
              bytes / 1e6, kRuns);

  std::int64_t udrWords = 0, udfWords = 0, rows = 0, count = 0;
  const double udr = Best(*connection, kUdrWords, udrWords);
  const double udf = Best(*connection, kUdfWords, udfWords);
  if (udrWords != udfWords) std::printf("  WORD COUNTS DIFFER: UDR %lld, UDF %lld\n", static_cast<long long>(udrWords),
                                        static_cast<long long>(udfWords));
  std::printf("  %lld words\n", static_cast<long long>(udrWords));
  Report("FT_WORDS (UDR), per word", udr, static_cast<double>(udrWords), "word", bytes);
  Report("Parser_Next loop (UDF), per word", udf, static_cast<double>(udfWords), "word", bytes);
  std::printf("  UDF/UDR %.1fx\n", udf / udr);
  const double terms = Best(*connection, kUdrTerms, rows);
  Report(("FT_TERMS (UDR), " + std::to_string(rows) + " rows, per word").c_str(), terms,
         static_cast<double>(udrWords), "word", bytes);
  Report("FT_CRC (UDR), per document", Best(*connection, kUdrCrc, count), static_cast<double>(documents.size()),
         "doc", bytes);
  Report("Create/AddBlob/CRC/Free (UDF), per document", Best(*connection, kUdfCrc, count),
         static_cast<double>(documents.size()), "doc", bytes);

  const double empty = Best(*connection, CallLoop("C = 0;"), count);
  const double udrCall = Best(*connection, CallLoop("C = FT_SOUND_CODE('Robert');"), count);
  const double udfCall = Best(*connection, CallLoop("C = StrSoundEX('Robert');"), count);
  std::printf("  %lld calls each, less the empty loop (%.3f us a turn):\n", static_cast<long long>(kCalls),
              empty * 1e6 / kCalls);
  Report("FT_SOUND_CODE('Robert') (UDR), per call", udrCall - empty, kCalls, "call", 0);
  Report("StrSoundEX('Robert') (UDF), per call", udfCall - empty, kCalls, "call", 0);
  return 0;
}

}  // namespace
}  // namespace vexa::firebird

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vexa_firebird_udr_bench CORPUS_FILE [DOCUMENT_BYTES]\n");
    return 2;
  }
  try {
    return vexa::firebird::Run(argv[1], argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 3700);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vexa_firebird_udr_bench: %s\n", error.what());
    return 1;
  }
}
