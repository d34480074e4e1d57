// Builds a full-text index of one corpus in one system and searches it:
// Firebird with Vexa (through the procedures of sql/, documents inserted
// into a table whose triggers index them), PostgreSQL (to_tsvector('simple')
// and GIN) or SQLite FTS5 (unicode61). Each commits after every batch of
// documents, with the system's full durability. bench/scale/run.sh runs it
// for every system and size and prints the tables: one of the runs, one of
// how each system grows from one size to the next. Every search is prepared
// anew and read to its last row, as a client without a statement cache does.
//
//   vexa_scale_bench queries CORPUS STOP_LIST TOKEN_LIST OUT
//   vexa_scale_bench run SYSTEM CORPUS QUERIES WORK_DIR [--label L] [--batch N] [--max-rows N] [--charset CS]
//                    [--runs N] [--sql FILE,FILE...] [--conninfo TEXT] [--max-build-seconds S]
//       SYSTEM: firebird (needs FIREBIRD, FIREBIRD_LOCK, FIREBIRD_TMP of a
//       private root and --sql), postgresql (needs --conninfo) or fts5.
//       Writes WORK_DIR/result.txt and WORK_DIR/hits.txt.
//   vexa_scale_bench table COMMAND RESULT.txt...     the Markdown table
//   vexa_scale_bench check WORK_DIR...               every system indexed every
//       document, and finds the same documents for the same query
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/compare/machine_description.h"
#include "bench/scale/query_set.h"
#include "bench/scale/query_syntax.h"
#include "bounded_process.h"
#include "index_queries.h"
#include "isql.h"
#include "sql_connection.h"
#include "support/windows1251_utf8.h"

namespace fs = std::filesystem;
using vexa::scale::Query;

namespace {

using Ids = std::vector<std::int64_t>;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The documents of a corpus file: records "title\037text\036"; the text only.
std::vector<std::string> ReadDocuments(const fs::path& path) {
  std::vector<std::string> documents;
  std::istringstream records(ReadFile(path));
  std::string record;
  while (std::getline(records, record, '\036')) {
    const std::size_t split = record.find('\037');
    if (record.empty()) continue;
    documents.push_back(split == std::string::npos ? record : record.substr(split + 1));
  }
  if (documents.empty()) throw std::runtime_error("no documents in " + path.string());
  return documents;
}

// One entry a line, Windows-1251, in lower case UTF-8.
std::set<std::string> ReadWordList(const fs::path& path) {
  std::set<std::string> words;
  std::istringstream lines(vexa::support::Windows1251ToUtf8(ReadFile(path)));
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    words.insert(vexa::scale::LowerCase(line.substr(first, line.find_last_not_of(" \t\r") - first + 1)));
  }
  return words;
}

// The runs of ASCII letters of each entry (TCP/IP gives tcp and ip).
std::set<std::string> LetterRuns(const std::set<std::string>& entries) {
  std::set<std::string> runs;
  for (const std::string& entry : entries) {
    std::string run;
    for (char c : entry + " ") {
      if ((c >= 'a' && c <= 'z') || (c & 0x80) != 0) {
        run += c;
      } else if (!run.empty()) {
        runs.insert(run);
        run.clear();
      }
    }
  }
  return runs;
}

// ---------------------------------------------------------------- systems

struct Counts {
  std::int64_t documents = 0;  // documents the index holds
  std::int64_t postings = 0;   // occurrences of indexed words
};

struct Sizes {
  std::int64_t database = 0;  // the database's files (or the table with its indexes)
  std::int64_t index = 0;     // the full-text index alone
};

class System {
 public:
  virtual ~System() = default;
  virtual void Insert(std::int64_t id, const std::string& text) = 0;
  virtual void Commit() = 0;
  // What the system's documentation asks for after a bulk load (not timed).
  virtual void AfterLoad() = 0;
  virtual Counts Count() = 0;
  virtual Sizes Size() = 0;
  virtual Ids Search(const Query& query, std::int64_t maxRows) = 0;
  // The cheapest statement, sent as a search is (its transaction, its
  // preparation, its result): what a search costs before any index is read.
  virtual void Floor() = 0;
};

// ------------------------------------------------ Firebird with Vexa

std::string RequiredEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') throw std::runtime_error(std::string(name) + " is not set");
  return value;
}

class FirebirdSystem : public System {
 public:
  // `charset`: the database's default character set and the connection's
  // (WIN1251 or UTF8); documents are sent in it.
  FirebirdSystem(const fs::path& work, const std::vector<fs::path>& scripts, const std::string& charset)
      : database_(work / "bench.fdb"), utf8_(charset == "UTF8") {
    for (const char* name : {"FIREBIRD", "FIREBIRD_LOCK", "FIREBIRD_TMP"}) {
      environment_.emplace_back(name, RequiredEnvironment(name));
    }
    const fs::path create = work / "create_database.sql";
    WriteFile(create, "CREATE DATABASE '" + database_.string() + "' PAGE_SIZE 16384 DEFAULT CHARACTER SET " +
                          charset + ";\n");
    vexa::firebird::RunIsqlScript(environment_, create);
    // As the main job does: a 64 MiB page cache. Forced writes stay on.
    Tool({"gfix", "-buffers", "4096", database_.string()});
    for (const fs::path& script : scripts) vexa::firebird::RunIsqlScript(environment_, script, database_);
    vexa::firebird::ConnectionOptions options;
    options.database = database_.string();
    options.charset = charset;
    connection_ = std::make_unique<vexa::firebird::Connection>(options);
    // The portable design keeps a row per document in FT_DOCUMENT; the
    // segment design lists its documents with FT_DOCUMENTS.
    documentTable_ = HasTable("FT_DOCUMENT") ? "FT_DOCUMENT" : "FT_DOCUMENTS";
  }

  void Insert(std::int64_t id, const std::string& text) override {
    if (!transaction_) transaction_ = std::make_unique<vexa::firebird::Transaction>(*connection_);
    vexa::firebird::InsertDocument(*connection_, *transaction_, id,
                                  vexa::firebird::BlobText{utf8_ ? text : vexa::support::Utf8ToWindows1251(text)});
  }

  void Commit() override {
    if (transaction_) transaction_->Commit();
    transaction_.reset();
  }

  // Firebird's own step after a bulk load, as PostgreSQL's ANALYZE: fresh
  // selectivity for the index tables' indexes.
  void AfterLoad() override {
    connection_->RunCommitted(
        "EXECUTE BLOCK AS DECLARE NAME VARCHAR(63); BEGIN "
        "FOR SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$RELATION_NAME STARTING WITH 'FT_' INTO :NAME DO "
        "EXECUTE STATEMENT 'SET STATISTICS INDEX \"' || NAME || '\"'; END");
    // Neither design needs more after a bulk load. The segment design
    // searches its segments and change rows as the load left them, as FTS5
    // searches its segments without an 'optimize'. Its merge into one segment
    // (EXECUTE PROCEDURE FT_MAINTAIN, which fulltext_udr.sql offers after a
    // bulk load but does not ask for) would go here, untimed, and only beside
    // the peers' own optional step (FTS5's 'optimize'), never for one system
    // alone.
  }

  Counts Count() override {
    const auto rows = connection_->RunCommitted("SELECT COUNT(*), COALESCE(SUM(WORD_COUNT), 0) FROM " + documentTable_);
    return Counts{vexa::firebird::AsInteger(rows.at(0).at(0)), vexa::firebird::AsInteger(rows.at(0).at(1))};
  }

  // The index's share: the data, blob and index leaf pages of the FT_
  // tables, as fbstat counts them.
  Sizes Size() override {
    const std::string report = Tool({"fbstat", "-r", database_.string()});
    std::smatch match;
    std::int64_t pageSize = 0;
    if (std::regex_search(report, match, std::regex(R"(Page size\s+(\d+))"))) pageSize = std::stoll(match[1]);
    std::int64_t pages = 0;
    bool inIndexTable = false;
    std::istringstream lines(report);
    std::string line;
    static const std::regex tableHeading(R"(^(\S+) \(\d+\)\s*$)");
    static const std::regex counted(R"((Data pages|blob pages|leaf buckets):\s*(\d+))");
    while (std::getline(lines, line)) {
      if (std::regex_match(line, match, tableHeading)) inIndexTable = match[1].str().rfind("FT_", 0) == 0;
      if (!inIndexTable) continue;
      for (auto it = std::sregex_iterator(line.begin(), line.end(), counted); it != std::sregex_iterator(); ++it) {
        pages += std::stoll((*it)[2]);
      }
    }
    if (pageSize == 0 || pages == 0) throw std::runtime_error("fbstat -r gave no page counts:\n" + report);
    return Sizes{static_cast<std::int64_t>(fs::file_size(database_)), pages * pageSize};
  }

  Ids Search(const Query& query, std::int64_t maxRows) override {
    const vexa::scale::ProcedureCall call = vexa::scale::VexaSearch(query);
    Ids ids;
    for (const auto& hit : vexa::firebird::Search(*connection_, call.procedure, utf8_ ? call.text : vexa::support::Utf8ToWindows1251(call.text), maxRows)) {
      ids.push_back(hit.id);
    }
    return ids;
  }

  void Floor() override { connection_->RunCommitted("SELECT 1 FROM RDB$DATABASE WHERE 1 = ?", {std::int64_t{1}}); }

 private:
  bool HasTable(const std::string& name) {
    const auto rows = connection_->RunCommitted("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = '" + name + "'");
    return vexa::firebird::AsInteger(rows.at(0).at(0)) > 0;
  }

  std::string Tool(std::vector<std::string> argv) {
    argv[0] = "/usr/bin/" + argv[0];
    const auto output = vexa::firebird::RunProcess(argv, environment_, std::chrono::minutes(30));
    if (output.exitCode != 0) throw std::runtime_error(argv[0] + " failed: " + output.err + output.out);
    return output.out;
  }

  fs::path database_;
  bool utf8_;
  vexa::firebird::Environment environment_;
  std::unique_ptr<vexa::firebird::Connection> connection_;
  std::unique_ptr<vexa::firebird::Transaction> transaction_;
  std::string documentTable_;
};

// ------------------------------------------------------------ PostgreSQL

class PostgresSystem : public System {
 public:
  explicit PostgresSystem(const std::string& conninfo) : connection_(PQconnectdb(conninfo.c_str())) {
    if (PQstatus(connection_) != CONNECTION_OK) throw std::runtime_error(std::string("PostgreSQL: ") + PQerrorMessage(connection_));
    Exec("SET client_min_messages = warning");
    Exec("DROP TABLE IF EXISTS docs");
    Exec("CREATE TABLE docs (id BIGINT PRIMARY KEY, body TEXT NOT NULL, "
         "tsv TSVECTOR GENERATED ALWAYS AS (to_tsvector('simple', body)) STORED)");
    Exec("CREATE INDEX docs_tsv ON docs USING GIN (tsv)");
    Check(PQprepare(connection_, "insert", "INSERT INTO docs (id, body) VALUES ($1, $2)", 2, nullptr), PGRES_COMMAND_OK);
  }
  ~PostgresSystem() override { PQfinish(connection_); }

  void Insert(std::int64_t id, const std::string& text) override {
    if (!open_) Exec("BEGIN");
    open_ = true;
    const std::string key = std::to_string(id);
    const char* values[] = {key.c_str(), text.c_str()};
    Check(PQexecPrepared(connection_, "insert", 2, values, nullptr, nullptr, 0), PGRES_COMMAND_OK);
  }

  void Commit() override {
    if (open_) Exec("COMMIT");
    open_ = false;
  }

  void AfterLoad() override { Exec("VACUUM ANALYZE docs"); }

  Counts Count() override {
    return Counts{std::stoll(Value("SELECT count(*) FROM docs")),
                  std::stoll(Value("SELECT coalesce(sum(cardinality(positions)), 0) FROM docs, unnest(tsv)"))};
  }

  Sizes Size() override {
    return Sizes{std::stoll(Value("SELECT pg_total_relation_size('docs')")),
                 std::stoll(Value("SELECT pg_relation_size('docs_tsv')"))};
  }

  Ids Search(const Query& query, std::int64_t maxRows) override {
    const vexa::scale::TsQuery tsquery = vexa::scale::PostgresQuery(query);
    const std::string sql = "SELECT id FROM docs, " + tsquery.function +
                            "('simple', $1) q WHERE tsv @@ q ORDER BY ts_rank(tsv, q) DESC, id LIMIT $2";
    const std::string limit = std::to_string(maxRows);
    const char* values[] = {tsquery.text.c_str(), limit.c_str()};
    PGresult* result = PQexecParams(connection_, sql.c_str(), 2, nullptr, values, nullptr, nullptr, 0);
    Ids ids;
    Check(result, PGRES_TUPLES_OK, false);
    for (int row = 0; row < PQntuples(result); ++row) ids.push_back(std::stoll(PQgetvalue(result, row, 0)));
    PQclear(result);
    return ids;
  }

  void Floor() override {
    const char* values[] = {"1"};
    PGresult* result = PQexecParams(connection_, "SELECT 1 WHERE 1 = $1", 1, nullptr, values, nullptr, nullptr, 0);
    Check(result, PGRES_TUPLES_OK);
  }

 private:
  void Check(PGresult* result, ExecStatusType expected, bool clear = true) {
    if (PQresultStatus(result) != expected) {
      const std::string message = PQresultErrorMessage(result);
      PQclear(result);
      throw std::runtime_error("PostgreSQL: " + message);
    }
    if (clear) PQclear(result);
  }
  void Exec(const std::string& sql) { Check(PQexec(connection_, sql.c_str()), PGRES_COMMAND_OK); }
  std::string Value(const std::string& sql) {
    PGresult* result = PQexec(connection_, sql.c_str());
    Check(result, PGRES_TUPLES_OK, false);
    std::string value = PQgetvalue(result, 0, 0);
    PQclear(result);
    return value;
  }

  PGconn* connection_;
  bool open_ = false;
};

// ---------------------------------------------------------- SQLite FTS5

class Fts5System : public System {
 public:
  explicit Fts5System(const fs::path& work) : path_(work / "fts5.db") {
    fs::remove(path_);
    if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("cannot open " + path_.string());
    Exec("CREATE VIRTUAL TABLE docs USING fts5(body, tokenize = 'unicode61')");
    insert_ = Prepare("INSERT INTO docs (rowid, body) VALUES (?, ?)");
  }
  ~Fts5System() override {
    sqlite3_finalize(insert_);
    sqlite3_close(db_);
  }

  void Insert(std::int64_t id, const std::string& text) override {
    if (!open_) Exec("BEGIN");
    open_ = true;
    sqlite3_bind_int64(insert_, 1, id);
    sqlite3_bind_text(insert_, 2, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    if (sqlite3_step(insert_) != SQLITE_DONE) Fail("insert");
    sqlite3_reset(insert_);
  }

  void Commit() override {
    if (open_) Exec("COMMIT");
    open_ = false;
  }

  void AfterLoad() override {}

  Counts Count() override {
    Exec("CREATE VIRTUAL TABLE IF NOT EXISTS temp.docs_vocabulary USING fts5vocab(main, docs, 'row')");
    return Counts{Integer("SELECT count(*) FROM docs"), Integer("SELECT coalesce(sum(cnt), 0) FROM temp.docs_vocabulary")};
  }

  // The index: the shadow tables but the copy of the documents.
  Sizes Size() override {
    return Sizes{static_cast<std::int64_t>(fs::file_size(path_)),
                 Integer("SELECT sum(pgsize) FROM dbstat WHERE name IN ('docs_data', 'docs_idx', 'docs_docsize')")};
  }

  Ids Search(const Query& query, std::int64_t maxRows) override {
    const std::string match = vexa::scale::Fts5Match(query);
    sqlite3_stmt* statement = Prepare("SELECT rowid FROM docs WHERE docs MATCH ? ORDER BY rank LIMIT ?");
    sqlite3_bind_text(statement, 1, match.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(statement, 2, maxRows);
    Ids ids;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) ids.push_back(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    if (step != SQLITE_DONE) Fail("search " + match);
    return ids;
  }

  void Floor() override {
    sqlite3_stmt* statement = Prepare("SELECT 1 WHERE 1 = ?");
    sqlite3_bind_int64(statement, 1, 1);
    const int step = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (step != SQLITE_ROW) Fail("SELECT 1");
  }

 private:
  [[noreturn]] void Fail(const std::string& what) { throw std::runtime_error("SQLite " + what + ": " + sqlite3_errmsg(db_)); }
  void Exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
  }
  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) Fail(sql);
    return statement;
  }
  std::int64_t Integer(const std::string& sql) {
    sqlite3_stmt* statement = Prepare(sql);
    if (sqlite3_step(statement) != SQLITE_ROW) Fail(sql);
    const std::int64_t value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
  }

  fs::path path_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  bool open_ = false;
};

// ------------------------------------------------------------ one run

using Clock = std::chrono::steady_clock;
double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct RunOptions {
  std::string system, label;
  fs::path corpus, queries, work;
  std::int64_t batch = 100, maxRows = 20, runs = 3;
  double maxBuildSeconds = 0;  // stop loading after the batch that passes it (0: load everything)
  std::vector<fs::path> sql;
  std::string conninfo;
  std::string charset = "WIN1251";  // firebird: the database's
};

std::unique_ptr<System> MakeSystem(const RunOptions& options) {
  if (options.system == "firebird") return std::make_unique<FirebirdSystem>(options.work, options.sql, options.charset);
  if (options.system == "postgresql") return std::make_unique<PostgresSystem>(options.conninfo);
  if (options.system == "fts5") return std::make_unique<Fts5System>(options.work);
  throw std::runtime_error("no system " + options.system);
}

// What make_corpus.sh says of a corpus beside it (CORPUS.source: "real N",
// "synthetic N"), as "corpus_real N" and "corpus_synthetic N" lines; nothing
// when it says nothing.
std::string CorpusSource(const fs::path& corpus) {
  fs::path source = corpus;
  source.replace_extension(".source");
  if (!fs::exists(source)) return "";
  std::istringstream lines(ReadFile(source));
  std::string text;
  std::string key;
  for (std::int64_t count = 0; lines >> key >> count;) text += "corpus_" + key + " " + std::to_string(count) + "\n";
  return text;
}

// Writes WORK/result.txt: "key value" lines, and a "latency KIND BAND WORDS
// MS" line for every timed search; WORK/hits.txt: the documents each query
// found (the first run), sorted, one query a line.
void Run(const RunOptions& options) {
  const std::vector<std::string> documents = ReadDocuments(options.corpus);
  const std::vector<Query> queries = vexa::scale::ParseQueries(ReadFile(options.queries));
  fs::create_directories(options.work);
  std::ostringstream result;
  result << "system " << options.label << "\ncorpus " << options.corpus.stem().string() << "\n"
         << CorpusSource(options.corpus) << "batch " << options.batch << "\nload "
         << vexa::compare::CurrentLoadAverages() << "\n";

  std::unique_ptr<System> system = MakeSystem(options);
  const Clock::time_point start = Clock::now();
  std::size_t loaded = 0;
  std::size_t bytes = 0;
  while (loaded < documents.size()) {
    bytes += documents[loaded].size();
    system->Insert(static_cast<std::int64_t>(loaded + 1), documents[loaded]);
    ++loaded;
    if (loaded % static_cast<std::size_t>(options.batch) == 0) {
      system->Commit();
      if (options.maxBuildSeconds > 0 && MillisecondsSince(start) > options.maxBuildSeconds * 1000) break;
    }
  }
  system->Commit();
  result << "build_ms " << MillisecondsSince(start) << "\ndocuments " << loaded << "\nbytes " << bytes << "\n";
  if (loaded < documents.size()) result << "stopped_after " << loaded << " of " << documents.size() << "\n";
  const Clock::time_point maintenance = Clock::now();
  system->AfterLoad();
  result << "after_load_ms " << MillisecondsSince(maintenance) << "\n";
  const Counts counts = system->Count();
  const Sizes sizes = system->Size();
  result << "indexed " << counts.documents << "\npostings " << counts.postings << "\ndatabase_bytes " << sizes.database
         << "\nindex_bytes " << sizes.index << "\n";

  std::ostringstream hits;
  for (const Query& query : queries) {
    Ids found = system->Search(query, options.maxRows);  // warms the caches
    std::sort(found.begin(), found.end());
    hits << query.kind << ' ' << query.text << '\t';
    for (std::int64_t id : found) hits << id << ' ';
    hits << '\n';
    for (std::int64_t run = 0; run < options.runs; ++run) {
      const Clock::time_point searched = Clock::now();
      system->Search(query, options.maxRows);
      result << "latency " << query.kind << ' ' << query.band << ' ' << query.words << ' ' << MillisecondsSince(searched) << "\n";
    }
  }
  system->Floor();
  for (std::size_t run = 0; run < std::max<std::size_t>(queries.size(), 1) * static_cast<std::size_t>(options.runs); ++run) {
    const Clock::time_point started = Clock::now();
    system->Floor();
    result << "latency floor - 0 " << MillisecondsSince(started) << "\n";
  }
  result << "load_after " << vexa::compare::CurrentLoadAverages() << "\n";
  WriteFile(options.work / "result.txt", result.str());
  WriteFile(options.work / "hits.txt", hits.str());
}

// -------------------------------------------------------------- report

struct Result {
  std::map<std::string, std::string> values;
  std::map<std::string, std::vector<double>> latencies;  // by column, and "every" search once
  double Number(const std::string& key) const { return std::stod(values.at(key)); }
};

Result ReadResult(const fs::path& path) {
  Result result;
  std::istringstream lines(ReadFile(path));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string key, kind, band, words;
    fields >> key;
    if (key != "latency") {
      std::getline(fields >> std::ws, result.values[key]);
      continue;
    }
    double ms = 0;
    fields >> kind >> band >> words >> ms;
    if (kind == "floor") {
      result.latencies[kind].push_back(ms);
      continue;
    }
    result.latencies["every"].push_back(ms);
    if (kind == "all") {
      result.latencies[band].push_back(ms);
      result.latencies[words + "w"].push_back(ms);
    } else {
      result.latencies[kind].push_back(ms);
    }
  }
  return result;
}

// Nearest rank.
double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::max<std::size_t>(rank, 1) - 1];
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// Three significant digits, or the whole number.
std::string Significant(double value) { return Fixed(value, value < 1 ? 3 : value < 10 ? 2 : value < 100 ? 1 : 0); }

// The load average over a minute, at the start and at the end of the run.
std::string LoadDuring(Result& result) {
  const auto first = [](const std::string& averages) { return averages.substr(0, averages.find(' ')); };
  const std::string after = first(result.values["load_after"]);
  return first(result.values["load"]) + (after.empty() ? "" : " → " + after);
}

struct Column {
  const char* key;
  const char* heading;
};
constexpr Column kLatencyColumns[] = {
    {"rare", "rare"},     {"medium", "medium"}, {"common", "common"}, {"1w", "1 word"},  {"2w", "2 words"},
    {"3w", "3 words"},    {"phrase", "phrase"}, {"prefix", "prefix"}, {"or", "a OR b"},  {"not", "a -b"},
    {"phrase_word", "\"a b\" c"}, {"floor", "floor"},
};

// The number of documents of a pool corpus ("first-N"), or 0 for another.
std::int64_t PoolSize(const std::string& corpus) {
  return corpus.rfind("first-", 0) == 0 ? std::stoll(corpus.substr(6)) : 0;
}

// How many real and synthetic documents each corpus holds, as make_corpus.sh said.
std::string CorpusNote(const std::vector<Result>& results) {
  std::map<std::int64_t, std::string> corpora;  // by size, the Bible first
  bool synthetic = false;
  for (const Result& result : results) {
    const auto real = result.values.find("corpus_real");
    const auto made = result.values.find("corpus_synthetic");
    if (real == result.values.end() || made == result.values.end()) continue;
    const std::string& corpus = result.values.at("corpus");
    synthetic = synthetic || made->second != "0";
    corpora[PoolSize(corpus)] = corpus + " " + real->second + " real" + (made->second == "0" ? "" : " and " + made->second + " synthetic");
  }
  if (corpora.empty()) return "";
  std::string list;
  for (const auto& [size, text] : corpora) list += (list.empty() ? "" : "; ") + text;
  return "\nDocuments: " + list + "." +
         (synthetic ? " The pool is real text as far as it goes; past it come synthetic "
                      "documents, each as many words long as a real document drawn at random, of words drawn at "
                      "random from every word of the real documents (so with their frequencies, but in no order: "
                      "a phrase chosen from one is rare), the same on every run."
                    : "") +
         "\n";
}

void PrintRuns(const std::string& command, const std::vector<Result>& results) {
  std::cout << "Machine: " << vexa::compare::MachineDescription() << ". Command: `" << command << "`.\n\n"
            << "| System | Corpus | Docs | MB | Load | Build s | MB/s | DB MB | Index MB | Postings | B/posting |";
  for (const Column& column : kLatencyColumns) std::cout << ' ' << column.heading << " |";
  std::cout << "\n|---|---|--:|--:|---|--:|--:|--:|--:|--:|--:|";
  for (std::size_t i = 0; i < std::size(kLatencyColumns); ++i) std::cout << "--:|";
  std::cout << "\n";
  for (Result result : results) {
    const double megabytes = result.Number("bytes") / 1e6;
    const double seconds = result.Number("build_ms") / 1000;
    const std::string& stopped = result.values["stopped_after"];
    std::cout << "| " << result.values["system"] << " | " << result.values["corpus"] << " | "
              << (stopped.empty() ? result.values["documents"] : "stopped after " + stopped) << " | " << Fixed(megabytes, 1) << " | " << LoadDuring(result) << " | "
              << Significant(seconds) << " | " << Significant(megabytes / seconds) << " | "
              << Fixed(result.Number("database_bytes") / 1e6, 1) << " | " << Fixed(result.Number("index_bytes") / 1e6, 1) << " | "
              << result.values["postings"] << " | " << Fixed(result.Number("index_bytes") / result.Number("postings"), 1) << " |";
    for (const Column& column : kLatencyColumns) {
      const std::vector<double>& ms = result.latencies[column.key];
      std::cout << ' ' << (ms.empty() ? "-" : Significant(Percentile(ms, 0.5)) + " / " + Significant(Percentile(ms, 0.95)))
                << " |";
    }
    std::cout << "\n";
  }
  std::cout << "\nEach system commits every " << (results.empty() ? std::string("?") : results[0].values.at("batch"))
            << " documents. Load: the load average over a minute at the start and the end of the run. "
               "Latencies are p50 / p95 in ms over every timed run of the column's queries (each run warm, "
               "top 20 by rank); the first three columns are all-words searches of 1 to 3 words by band of "
               "document frequency; the last three mix the query language, with words of every band: either "
               "of two words, a word in documents without another, a two-word phrase with a word; floor is the system's cheapest statement (SELECT 1), "
               "sent as a search is, in a transaction of its own: what each search costs before it reads an index. MB are the "
               "documents' UTF-8 bytes; a posting is an occurrence of a word the system indexes. A run stopped "
               "by --max-build-seconds searched what it had loaded.\n"
            << CorpusNote(results);
}

std::string Ratio(double from, double to) { return from > 0 ? Significant(to / from) + "×" : "-"; }

// How each system's build time, index size and p95 latency grow from one
// size of the pool to the next (the Bible's chapters, a corpus of their own,
// are left out).
void PrintGrowth(const std::vector<Result>& results) {
  std::vector<std::string> systems;
  std::map<std::string, std::map<std::int64_t, const Result*>> runs;  // by system, by pool size
  for (const Result& result : results) {
    const std::string& system = result.values.at("system");
    const std::int64_t size = PoolSize(result.values.at("corpus"));
    if (size == 0) continue;
    if (runs.count(system) == 0) systems.push_back(system);
    runs[system][size] = &result;
  }
  const auto p95 = [](const Result* r) {
    const auto every = r->latencies.find("every");
    return every == r->latencies.end() ? 0.0 : Percentile(every->second, 0.95);
  };
  const auto docs = [](const Result* r) { return r->Number("documents"); };
  const auto build = [](const Result* r) { return r->Number("build_ms") / 1000; };
  const auto index = [](const Result* r) { return r->Number("index_bytes") / 1e6; };
  const auto corpus = [](const Result* r) {
    return r->values.at("corpus") + (r->values.count("stopped_after") ? " (stopped)" : "");
  };
  std::ostringstream rows;
  for (const std::string& system : systems) {
    const Result* previous = nullptr;
    for (const auto& [size, result] : runs[system]) {
      if (previous != nullptr) {
        rows << "| " << system << " | " << corpus(previous) << " → " << corpus(result) << " | "
             << Ratio(docs(previous), docs(result)) << " | " << Significant(build(previous)) << " → "
             << Significant(build(result)) << " | " << Ratio(build(previous), build(result)) << " | "
             << Fixed(index(previous), 1) << " → " << Fixed(index(result), 1) << " | "
             << Ratio(index(previous), index(result)) << " | " << Significant(p95(previous)) << " → "
             << Significant(p95(result)) << " | " << Ratio(p95(previous), p95(result)) << " |\n";
      }
      previous = result;
    }
  }
  if (rows.str().empty()) return;
  std::cout << "\nGrowth from one size to the next, per system:\n\n"
            << "| System | Sizes | Docs | Build s | Build | Index MB | Index | p95 ms | p95 |\n"
            << "|---|---|--:|--:|--:|--:|--:|--:|--:|\n"
            << rows.str()
            << "\nDocs, Build, Index and p95 are the ratios of the larger size's figure to the smaller's (documents "
               "loaded: fewer than the corpus holds where a load was stopped). p95 is over every timed search of a "
               "run, of every column; each size's searches are chosen from its own corpus.\n";
}

void PrintTable(const std::string& command, const std::vector<fs::path>& files) {
  std::vector<Result> results;
  for (const fs::path& file : files) results.push_back(ReadResult(file));
  PrintRuns(command, results);
  PrintGrowth(results);
}

// ------------------------------------------------------------- the check

std::map<std::string, std::set<std::int64_t>> ReadHits(const fs::path& path) {
  std::map<std::string, std::set<std::int64_t>> hits;
  std::istringstream lines(ReadFile(path));
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t tab = line.find('\t');
    std::istringstream ids(line.substr(tab + 1));
    std::set<std::int64_t>& found = hits[line.substr(0, tab)];
    for (std::int64_t id; ids >> id;) found.insert(id);
  }
  return hits;
}

// Every system indexed every document; searches find the same documents
// everywhere, but that what a query with a phrase finds in FTS5 is found by
// the others too (Vexa's phrases skip the stop words between their words, and
// PostgreSQL counts a hyphenated word once more).
int Check(const std::vector<fs::path>& works) {
  int failures = 0;
  const fs::path reference = works.front();
  const auto referenceHits = ReadHits(reference / "hits.txt");
  std::size_t queriesWithHits = 0;
  for (const auto& [query, ids] : referenceHits) if (!ids.empty()) ++queriesWithHits;
  if (queriesWithHits * 2 < referenceHits.size()) {
    std::cerr << reference << ": only " << queriesWithHits << " of " << referenceHits.size() << " queries found anything\n";
    ++failures;
  }
  for (const fs::path& work : works) {
    Result result = ReadResult(work / "result.txt");
    if (result.values["indexed"] != result.values["documents"] || std::stoll(result.values["postings"]) <= 0) {
      std::cerr << result.values["system"] << ": " << result.values["indexed"] << " of " << result.values["documents"]
                << " documents indexed, " << result.values["postings"] << " postings\n";
      ++failures;
    }
    const auto hits = ReadHits(work / "hits.txt");
    for (const auto& [query, expected] : referenceHits) {
      const std::set<std::int64_t>& found = hits.count(query) ? hits.at(query) : std::set<std::int64_t>();
      const bool phrase = vexa::scale::HoldsPhrase(query.substr(0, query.find(' ')));
      const bool agrees = phrase ? std::includes(found.begin(), found.end(), expected.begin(), expected.end()) : found == expected;
      if (!agrees) {
        std::cerr << result.values["system"] << ": \"" << query << "\" finds " << found.size() << " documents, "
                  << ReadResult(reference / "result.txt").values["system"] << " " << expected.size() << "\n";
        ++failures;
      }
    }
  }
  std::cout << (failures == 0 ? "agree: " : "disagree: ") << works.size() << " systems, " << referenceHits.size()
            << " queries (" << queriesWithHits << " with hits)\n";
  return failures == 0 ? 0 : 1;
}

std::vector<fs::path> SplitList(const std::string& list) {
  std::vector<fs::path> paths;
  std::istringstream items(list);
  for (std::string item; std::getline(items, item, ',');) {
    if (!item.empty()) paths.emplace_back(item);
  }
  return paths;
}

int Usage() {
  std::cerr << "usage: vexa_scale_bench queries CORPUS STOP_LIST TOKEN_LIST OUT\n"
               "       vexa_scale_bench run SYSTEM CORPUS QUERIES WORK_DIR [--label L] [--batch N] [--max-rows N] [--charset CS]\n"
               "                        [--runs N] [--sql FILE,FILE...] [--conninfo TEXT] [--max-build-seconds S]\n"
               "       vexa_scale_bench table COMMAND RESULT...\n"
               "       vexa_scale_bench check WORK_DIR...\n";
  return 2;
}

int Main(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  if (args[0] == "queries" && args.size() == 5) {
    vexa::scale::QueryChoice choice;
    choice.stopWords = ReadWordList(args[2]);
    choice.tokenWords = LetterRuns(ReadWordList(args[3]));
    const auto queries = vexa::scale::ChooseQueries(ReadDocuments(args[1]), choice);
    WriteFile(args[4], vexa::scale::FormatQueries(queries));
    return 0;
  }
  if (args[0] == "run" && args.size() >= 5) {
    RunOptions options;
    options.system = options.label = args[1];
    options.corpus = args[2];
    options.queries = args[3];
    options.work = args[4];
    for (std::size_t i = 5; i < args.size(); i += 2) {
      if (i + 1 >= args.size()) return Usage();
      const std::string& name = args[i];
      const std::string& value = args[i + 1];
      if (name == "--label") options.label = value;
      else if (name == "--batch") options.batch = std::stoll(value);
      else if (name == "--max-rows") options.maxRows = std::stoll(value);
      else if (name == "--runs") options.runs = std::stoll(value);
      else if (name == "--max-build-seconds") options.maxBuildSeconds = std::stod(value);
      else if (name == "--sql") options.sql = SplitList(value);
      else if (name == "--conninfo") options.conninfo = value;
      else if (name == "--charset") options.charset = value;
      else return Usage();
    }
    if (options.batch <= 0) return Usage();
    Run(options);
    return 0;
  }
  if (args[0] == "table" && args.size() >= 3) {
    PrintTable(args[1], std::vector<fs::path>(args.begin() + 2, args.end()));
    return 0;
  }
  if (args[0] == "check" && args.size() >= 3) return Check(std::vector<fs::path>(args.begin() + 1, args.end()));
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::cerr << "vexa_scale_bench: " << error.what() << "\n";
    return 1;
  }
}
